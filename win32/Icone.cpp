// SPDX-License-Identifier: GPL-3.0-or-later
#include "Icone.h"

#include "Pixmap.h"

HICON Icona(const DisegniForm::Disegno& disegno)
{
    return CreateIconFromResourceEx(const_cast<PBYTE>(disegno.byte), DWORD(disegno.dimensione),
        TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
}

// The bust at the size the title bar or the taskbar asks for: the drawing made for that size,
// or the next larger one resampled; above 48 pixels, the program's own 128-pixel icon.
HICON IconaBusto(HINSTANCE istanza, int lato)
{
    HICON icona = nullptr;
    for (const auto* disegno :
        { &DisegniForm::Busto16, &DisegniForm::Busto32, &DisegniForm::Busto48 }) {
        if (reinterpret_cast<const BITMAPINFOHEADER*>(disegno->byte)->biWidth >= lato) {
            icona = Icona(*disegno);
            break;
        }
    }
    if (!icona)
        icona = HICON(LoadImageW(istanza, MAKEINTRESOURCEW(1), IMAGE_ICON, 0, 0, 0));
    const Pixmap originale = DaIcona(icona);
    if (originale.larghezza == lato)
        return icona;
    DestroyIcon(icona);
    return IconaDa(Ricampiona(originale, lato, lato));
}
