// SPDX-License-Identifier: GPL-3.0-or-later
#include "Freccia.h"

#include <cstdlib>

// A stand-in until the real drawing arrives: a black arrow with a grey shadow.
QImage FrecciaIndietro(int lato)
{
    QImage immagine(lato, lato, QImage::Format_ARGB32);
    immagine.fill(0);
    const int meta = lato / 2;
    const auto freccia = [lato, meta](int x, int y) {
        const bool punta = x >= lato / 8 && x < meta && std::abs(y - meta) <= x - lato / 8;
        const bool asta = x >= meta && x < lato - lato / 8 && std::abs(y - meta) <= lato / 8;
        return punta || asta;
    };
    for (int y = 0; y < lato; ++y)
        for (int x = 0; x < lato; ++x) {
            if (freccia(x, y))
                immagine.setPixel(x, y, 0xFF000000);
            else if (freccia(x + 1, y - 1))
                immagine.setPixel(x, y, 0xFF808080);
        }
    return immagine;
}
