// SPDX-License-Identifier: GPL-3.0-or-later
#include "DomandaSiNo.h"

#include "Finestra.h"
#include "Testo.h"

#include <cwchar>

// The exit question's buttons read "Sì" and "No" whatever the system's language: the box is
// renamed as it is shown, before it is painted.
namespace {

HHOOK gancioUscita = nullptr;

LRESULT CALLBACK RinominaBottoni(int codice, WPARAM w, LPARAM l)
{
    if (codice == HCBT_ACTIVATE) {
        const auto box = HWND(w);
        wchar_t classe[16] {};
        GetClassNameW(box, classe, 16);
        if (std::wcscmp(classe, L"#32770") == 0) {
            // With their letters, as the system's own Yes and No have theirs.
            SetDlgItemTextW(box, IDYES, (L"&" + Largo(DomandaDiUscita::Si)).c_str());
            SetDlgItemTextW(box, IDNO, (L"&" + Largo(DomandaDiUscita::No)).c_str());
            UnhookWindowsHookEx(gancioUscita);
            gancioUscita = nullptr;
            return 0;
        }
    }
    return CallNextHookEx(gancioUscita, codice, w, l);
}

} // namespace

bool DomandaSiNo(HWND finestra, const std::string& testo, const std::string& titolo)
{
    gancioUscita = SetWindowsHookExW(WH_CBT, RinominaBottoni, nullptr, GetCurrentThreadId());
    const int risposta = MessageBoxW(finestra, Largo(testo.c_str()).c_str(),
        Largo(titolo.c_str()).c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    if (gancioUscita) {
        UnhookWindowsHookEx(gancioUscita);
        gancioUscita = nullptr;
    }
    return risposta == IDYES;
}
