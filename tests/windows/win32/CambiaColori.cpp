// SPDX-License-Identifier: GPL-3.0-or-later
// CambiaColori N: switches the system's colours to scheme N of SchemiColori (0 standard,
// 1 High Contrast Black, 2 High Contrast White) while Idrovela runs, as a pupil switching
// high contrast on or off would. Wine keeps the system's colours per process and does not pass
// a change on to other programs, so the change is made inside Idrovela's process, by a hook
// on its window's messages; Windows then tells every window of it, as it does there. Exits
// with 0 once the window has handled the change.
#include "SchemiColori.h"

#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t* argv[])
{
    const long schema = argc > 1 ? std::wcstol(argv[1], nullptr, 10) : -1;
    HWND finestra = FindWindowW(L"Form1", nullptr);
    if (schema < 0 || schema >= long(SchemiColori::Schemi.size()) || !finestra)
        return 1;
    wchar_t percorso[MAX_PATH] {};
    GetModuleFileNameW(nullptr, percorso, MAX_PATH);
    if (wchar_t* barra = std::wcsrchr(percorso, L'\\'))
        std::wcscpy(barra + 1, L"CambiaColoriGancio.dll");
    HMODULE modulo = LoadLibraryW(percorso);
    // Through void*: a procedure's address as GetProcAddress gives it, of another signature.
    const auto gancio = modulo
        ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(modulo, "Gancio")))
        : nullptr;
    if (!gancio)
        return 1;
    HHOOK aggancio = SetWindowsHookExW(
        WH_CALLWNDPROC, gancio, modulo, GetWindowThreadProcessId(finestra, nullptr));
    if (!aggancio)
        return 1;
    DWORD_PTR esito = 0;
    const bool gestito = SendMessageTimeoutW(
        finestra, SchemiColori::Messaggio, WPARAM(schema), 0, SMTO_ABORTIFHUNG, 10000, &esito);
    UnhookWindowsHookEx(aggancio);
    return gestito ? 0 : 1;
}
