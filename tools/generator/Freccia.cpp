// SPDX-License-Identifier: GPL-3.0-or-later
#include "Freccia.h"

namespace {

// Each size is its own drawing, in whole pixels: the head is a triangle with 45-degree
// edges, so its outline is a clean staircase at any size, and the shaft runs on from its
// back. Rows are counted from the top, columns from the left.
struct Disegno {
    int punta; // column of the tip
    int dorso; // last column of the head
    int centro; // the arrow is symmetric about the line between rows centro - 1 and centro
    int mezzaAsta; // rows of the shaft on either side of that line
    int coda; // last column of the shaft
    int frange[8]; // length of the fringe on each row of the shaft, from the top
};

constexpr Disegno Grande { 2, 13, 16, 4, 25, { 4, 0, 0, 5, 5, 0, 0, 4 } };
constexpr Disegno Piccolo { 1, 6, 8, 3, 12, { 2, 0, 2, 2, 0, 2 } };

const QRgb Nero = qRgb(0, 0, 0);
const QRgb Ombra = qRgb(128, 128, 128);
const QRgb Frangia = qRgb(192, 192, 192);

// Distance of a row from the arrow's middle line: 0 for the two rows that touch it.
int scostamento(const Disegno& d, int y)
{
    return y < d.centro ? d.centro - 1 - y : y - d.centro;
}

bool nero(const Disegno& d, int x, int y)
{
    const int s = scostamento(d, y);
    if (x >= d.punta && x <= d.dorso)
        return s <= x - d.punta;
    return x > d.dorso && x <= d.coda && s < d.mezzaAsta;
}

bool frangia(const Disegno& d, int x, int y)
{
    const int riga = y - (d.centro - d.mezzaAsta);
    if (riga < 0 || riga >= 2 * d.mezzaAsta)
        return false;
    return x > d.coda && x <= d.coda + d.frange[riga];
}

} // namespace

QImage FrecciaIndietro(int lato)
{
    if (lato != 32 && lato != 16)
        return {};
    const Disegno& d = lato == 32 ? Grande : Piccolo;
    QImage immagine(lato, lato, QImage::Format_ARGB32);
    immagine.fill(Qt::transparent);
    for (int y = 0; y < lato; ++y) {
        for (int x = 0; x < lato; ++x) {
            if (nero(d, x, y))
                immagine.setPixel(x, y, Nero);
            // The shadow is the arrow moved one pixel down and to the left.
            else if (nero(d, x + 1, y - 1))
                immagine.setPixel(x, y, Ombra);
            else if (frangia(d, x, y))
                immagine.setPixel(x, y, Frangia);
        }
    }
    return immagine;
}
