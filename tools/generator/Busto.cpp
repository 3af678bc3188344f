// SPDX-License-Identifier: GPL-3.0-or-later
#include "Busto.h"

// A stand-in until the real drawing arrives: a grey head on grey shoulders, in the bust's
// extent (columns 23 to 99, rows 5 to 124).
QImage Busto()
{
    QImage immagine(128, 128, QImage::Format_ARGB32);
    immagine.fill(0);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x) {
            const double u = (x - 61.0) / 24.0;
            const double v = (y - 40.0) / 35.5;
            const bool testa = u * u + v * v <= 1.0;
            const double w = (x - 61.0) / 38.5;
            const bool spalle = y >= 80 && y <= 124 && w * w <= 1.0 - (124.0 - y) / 60.0;
            if (testa)
                immagine.setPixel(x, y, 0xFFB8B4BC);
            else if (spalle)
                immagine.setPixel(x, y, 0xFF9C98A4);
        }
    return immagine;
}
