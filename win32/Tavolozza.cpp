// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tavolozza.h"

#include "Contrasto.h"

#include <uxtheme.h>

#include <cwchar>

namespace {

struct Sistema {
    bool alto = false;
    COLORREF finestra = 0, testoFinestra = 0, faccia = 0, testoFaccia = 0;

    bool operator==(const Sistema& altro) const
    {
        return alto == altro.alto && finestra == altro.finestra
            && testoFinestra == altro.testoFinestra && faccia == altro.faccia
            && testoFaccia == altro.testoFaccia;
    }
};

Sistema sistema;
bool letto = false;
bool senzaStile = false; // the controls left the visual style for high contrast

Contrasto::Colore Da(COLORREF colore)
{
    return { GetRValue(colore), GetGValue(colore), GetBValue(colore) };
}

COLORREF A(Contrasto::Colore colore)
{
    return RGB(colore.r, colore.g, colore.b);
}

const Sistema& Ora()
{
    if (!letto)
        Tavolozza::Aggiorna();
    return sistema;
}

bool Vuoto(HBRUSH pennello)
{
    return pennello == HBRUSH(GetStockObject(NULL_BRUSH));
}

COLORREF ColoreDi(HBRUSH pennello)
{
    LOGBRUSH info {};
    GetObjectW(pennello, sizeof info, &info);
    return info.lbColor;
}

} // namespace

bool Tavolozza::Aggiorna()
{
    Sistema nuovo;
    nuovo.finestra = GetSysColor(COLOR_WINDOW);
    nuovo.testoFinestra = GetSysColor(COLOR_WINDOWTEXT);
    nuovo.faccia = GetSysColor(COLOR_BTNFACE);
    nuovo.testoFaccia = GetSysColor(COLOR_BTNTEXT);
    HIGHCONTRASTW alto {};
    alto.cbSize = sizeof alto;
    const bool segnalato = SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof alto, &alto, 0)
        && (alto.dwFlags & HCF_HIGHCONTRASTON);
    nuovo.alto = segnalato
        || Contrasto::AltoContrasto(
            Da(nuovo.finestra), Da(nuovo.testoFinestra), Da(nuovo.faccia), Da(nuovo.testoFaccia));
    const bool cambiato = !letto || !(nuovo == sistema);
    sistema = nuovo;
    letto = true;
    return cambiato;
}

bool Tavolozza::AltoContrasto()
{
    return Ora().alto;
}

void Tavolozza::Applica(HWND finestra)
{
    const bool alto = Ora().alto;
    if (alto != senzaStile) {
        senzaStile = alto;
        EnumChildWindows(
            finestra,
            [](HWND figlio, LPARAM) {
                // A name that no style has, not an empty one, which Wine cannot store.
                if (senzaStile)
                    SetWindowTheme(figlio, L" ", L" ");
                else
                    SetWindowTheme(figlio, nullptr, nullptr);
                return TRUE;
            },
            0);
    }
    DrawMenuBar(finestra);
    RedrawWindow(finestra, nullptr, nullptr,
        RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

HBRUSH Tavolozza::Sfondo(HBRUSH progetto, bool proprio)
{
    if (proprio)
        return Ora().alto ? GetSysColorBrush(COLOR_WINDOW) : progetto;
    return Vuoto(progetto) ? progetto : GetSysColorBrush(COLOR_BTNFACE);
}

void Tavolozza::SfondoDelleFigure(HWND contenitore, HDC dc, HBRUSH progetto)
{
    if (!Ora().alto)
        return;
    for (HWND figlio = GetWindow(contenitore, GW_CHILD); figlio;
         figlio = GetWindow(figlio, GW_HWNDNEXT)) {
        wchar_t classe[16] {};
        GetClassNameW(figlio, classe, 16);
        if (!IsWindowVisible(figlio) || std::wcscmp(classe, L"Figura") != 0)
            continue;
        RECT rettangolo {};
        GetWindowRect(figlio, &rettangolo);
        MapWindowPoints(nullptr, contenitore, reinterpret_cast<POINT*>(&rettangolo), 2);
        FillRect(dc, &rettangolo, progetto);
    }
}

COLORREF Tavolozza::Testo(HBRUSH sfondo, Colore progetto, int sistemaIndice)
{
    const Sistema& ora = Ora();
    // Behind a null brush lies a panel, whose texts have colours of their own.
    const COLORREF dietro
        = Vuoto(sfondo) ? (ora.alto ? ora.finestra : A(Disposizione::Azzurro)) : ColoreDi(sfondo);
    return A(Contrasto::TestoSu(Da(dietro), progetto, Da(GetSysColor(sistemaIndice)), ora.alto));
}

COLORREF Tavolozza::Linea(HBRUSH sfondo, Colore progetto)
{
    const Sistema& ora = Ora();
    if (!ora.alto && !progetto.Sistema())
        return A(progetto);
    return A(Contrasto::IndicatoreSu(Da(ColoreDi(sfondo)), Da(ora.testoFinestra)));
}
