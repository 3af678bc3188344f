// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include <windows.h>

#include <commctrl.h>

int WINAPI wWinMain(HINSTANCE istanza, HINSTANCE, PWSTR, int mostra)
{
    const INITCOMMONCONTROLSEX controlli { sizeof(INITCOMMONCONTROLSEX),
        ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES };
    InitCommonControlsEx(&controlli);
    Form1::Registra(istanza);
    Form1 form(istanza);
    ShowWindow(form.hwnd(), mostra);
    UpdateWindow(form.hwnd());

    MSG messaggio;
    while (GetMessageW(&messaggio, nullptr, 0, 0) > 0) {
        if (form.PreTraduci(messaggio))
            continue;
        TranslateMessage(&messaggio);
        DispatchMessageW(&messaggio);
    }
    return int(messaggio.wParam);
}
