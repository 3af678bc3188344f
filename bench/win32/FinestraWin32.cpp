// SPDX-License-Identifier: GPL-3.0-or-later
// The floor under Wine: a bare Win32 window with Idrovela's menus, fixed border and client
// area of 474 x 400, painted grey on its first exposure, and nothing else.

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

HMENU Menu()
{
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1, L"Idrovela");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, 2, L"Esci");
    HMENU barra = CreateMenu();
    AppendMenuW(barra, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
    AppendMenuW(barra, MF_STRING, 3, L"?");
    return barra;
}

} // namespace

int WINAPI wWinMain(HINSTANCE istanza, HINSTANCE, PWSTR, int mostra)
{
    WNDCLASSW classe {};
    classe.lpfnWndProc = Procedura;
    classe.hInstance = istanza;
    classe.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    classe.hbrBackground = CreateSolidBrush(RGB(199, 199, 199));
    classe.lpszClassName = L"FinestraWin32";
    RegisterClassW(&classe);
    const DWORD stile = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    HMENU menu = Menu();
    RECT area { 0, 0, 474, 400 };
    AdjustWindowRect(&area, stile, TRUE);
    HWND finestra = CreateWindowExW(0, L"FinestraWin32", L"Finestra Win32", stile, CW_USEDEFAULT,
        CW_USEDEFAULT, area.right - area.left, area.bottom - area.top, nullptr, menu, istanza,
        nullptr);
    ShowWindow(finestra, mostra);
    UpdateWindow(finestra);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return int(msg.wParam);
}
