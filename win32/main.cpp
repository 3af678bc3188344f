// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

namespace {

LRESULT CALLBACK Procedura(HWND finestra, UINT messaggio, WPARAM w, LPARAM l)
{
    if (messaggio == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(finestra, messaggio, w, l);
}

} // namespace

int WINAPI wWinMain(HINSTANCE istanza, HINSTANCE, PWSTR, int mostra)
{
    WNDCLASSW classe {};
    classe.lpfnWndProc = Procedura;
    classe.hInstance = istanza;
    classe.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    classe.lpszClassName = L"Form1";
    RegisterClassW(&classe);
    HWND finestra = CreateWindowExW(0, L"Form1", L"Idrovela", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
        CW_USEDEFAULT, 490, 460, nullptr, nullptr, istanza, nullptr);
    ShowWindow(finestra, mostra);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}
