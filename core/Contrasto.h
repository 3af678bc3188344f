// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Disposizione.h"

#include <initializer_list>

// Which colour a text, an indicator or a background takes where the design's own colours meet
// the desktop's, so that every text reads on what lies behind it. Contrast as WCAG measures it:
// (L1 + 0.05) / (L2 + 0.05) of the relative luminances, at least 4.5:1 for text and 3:1 for an
// indicator or a focus frame. Under high contrast the desktop's colours win everywhere but in
// the pictures.
class Contrasto {
public:
    using Colore = Disposizione::Colore;

    static constexpr double Testo = 4.5;
    static constexpr double Indicatore = 3.0;
    static constexpr Colore Nero { 0, 0, 0 };
    static constexpr Colore Bianco { 255, 255, 255 };

    static double Luminanza(Colore colore);
    static double Rapporto(Colore a, Colore b);

    // The first candidate that reaches the minimum on the background; failing all, black or
    // white, whichever contrasts more.
    static Colore Leggibile(Colore sfondo, std::initializer_list<Colore> candidati, double minimo);

    // A background: the design's own, or the desktop's where the design leaves it to the
    // desktop or high contrast is on.
    static Colore Sfondo(Colore progetto, Colore sistema, bool altoContrasto);

    // A text over the given background: under high contrast the desktop's; else the design's
    // own colour; where the design leaves it to the desktop, the desktop's when it reads there,
    // else the design's look's black.
    static Colore TestoSu(Colore sfondo, Colore progetto, Colore sistema, bool altoContrasto);

    // A focus frame or a radio's ring over the given background: the desktop's colour when it
    // stands out enough, else black or white.
    static Colore IndicatoreSu(Colore sfondo, Colore sistema);

    // A desktop palette that is black on white or white on black, to the last step, for its
    // windows and its buttons alike: what a high-contrast palette is, and no ordinary light
    // or dark theme.
    static bool AltoContrasto(
        Colore finestra, Colore testoFinestra, Colore faccia, Colore testoFaccia);
};
