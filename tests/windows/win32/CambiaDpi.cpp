// SPDX-License-Identifier: GPL-3.0-or-later
// CambiaDpi DPI: tells Idrovela's window that it now lies on a screen of that many dots per
// inch, as Windows does when the window moves to another monitor, with the rectangle that
// Windows would suggest: the window's own, grown by the ratio of the two scales. Wine has one
// scale for all and never says so itself. Exits with 0 once the window has handled it.
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t* argv[])
{
    const int dpi = argc > 1 ? int(std::wcstol(argv[1], nullptr, 10)) : 0;
    HWND finestra = FindWindowW(L"Form1", nullptr);
    if (dpi <= 0 || !finestra)
        return 1;
    // The window's scale now, from its client area: 474 pixels wide at 96 dots per inch.
    RECT client {};
    RECT esterno {};
    GetClientRect(finestra, &client);
    GetWindowRect(finestra, &esterno);
    const int ora = MulDiv(client.right, 96, 474);
    const RECT proposto { esterno.left, esterno.top,
        esterno.left + MulDiv(esterno.right - esterno.left, dpi, ora),
        esterno.top + MulDiv(esterno.bottom - esterno.top, dpi, ora) };

    // The rectangle travels in the window's own memory: a message of this number carries its
    // pointer as it stands from one process to another.
    DWORD id = 0;
    GetWindowThreadProcessId(finestra, &id);
    HANDLE processo = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, id);
    if (!processo)
        return 1;
    void* laggiu = VirtualAllocEx(processo, nullptr, sizeof proposto, MEM_COMMIT, PAGE_READWRITE);
    SIZE_T scritti = 0;
    const bool pronto = laggiu
        && WriteProcessMemory(processo, laggiu, &proposto, sizeof proposto, &scritti)
        && scritti == sizeof proposto;
    DWORD_PTR esito = 1;
    const bool gestito = pronto
        && SendMessageTimeoutW(finestra, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(laggiu),
            SMTO_ABORTIFHUNG, 10000, &esito)
        && esito == 0;
    if (laggiu)
        VirtualFreeEx(processo, laggiu, 0, MEM_RELEASE);
    CloseHandle(processo);
    return gestito ? 0 : 1;
}
