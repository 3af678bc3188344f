// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Disposizione.h"

#include <windows.h>

// The colours the window paints with, where the design's own backgrounds and texts meet the
// system's, as Contrasto chooses them. High contrast is on when Windows says so
// (SPI_GETHIGHCONTRAST), or when the system's windows and buttons are black on white or white
// on black, which is all that Wine, whose flag is always off, lets a program see. The system's
// colours are read once and again whenever the window hears that they changed.
class Tavolozza {
public:
    using Colore = Disposizione::Colore;

    // Reads the system's colours and high contrast anew; true when what the window shows
    // changes with them.
    static bool Aggiorna();
    static bool AltoContrasto();
    // Repaints the window and its controls in the colours of now. Under high contrast its
    // controls leave the visual style, as Windows has them there, which would otherwise draw
    // them in its own colours (Wine keeps its style on in high contrast).
    static void Applica(HWND finestra);

    // What to paint for a background of the design: one of the design's own (proprio), which
    // under high contrast gives way to the system's window; the stock null brush, which
    // paints nothing; else the system's button face of now.
    static HBRUSH Sfondo(HBRUSH progetto, bool proprio);
    // Under high contrast, the design's own background of a container (progetto) behind the
    // pictures in it, which keep their colours: the black back arrow, which lets the panel show
    // round its shape, would vanish into a black window.
    static void SfondoDelleFigure(HWND contenitore, HDC dc, HBRUSH progetto);
    // A text over that background: the design's colour, or the system's of that index, as
    // Contrasto chooses.
    static COLORREF Testo(HBRUSH sfondo, Colore progetto, int sistema);
    // A line over that background: the design's colour, or the system's window text where it
    // stands out; under high contrast the system's window text.
    static COLORREF Linea(HBRUSH sfondo, Colore progetto);
};
