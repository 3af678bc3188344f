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

// The shapes, asked about a point in design units with design pixel (x, y) centred on
// (x + 0.5, y + 0.5): at scale 1 they see pixel centres, larger scales get the same outline
// with finer steps. The head's slanted edges run through the middles of its staircase.
bool nero(const Disegno& d, double x, double y)
{
    const double scarto = y < d.centro ? d.centro - y : y - d.centro;
    if (x >= d.punta && x < d.dorso + 1)
        return scarto <= x - d.punta + 0.5;
    return x >= d.dorso + 1 && x < d.coda + 1 && scarto < d.mezzaAsta;
}

bool frangia(const Disegno& d, double x, double y)
{
    const double riga = y - (d.centro - d.mezzaAsta);
    if (riga < 0 || riga >= 2 * d.mezzaAsta)
        return false;
    return x >= d.coda + 1 && x < d.coda + 1 + d.frange[int(riga)];
}

} // namespace

QImage FrecciaIndietro(int lato, int scala)
{
    if ((lato != 32 && lato != 16) || scala < 1)
        return {};
    const Disegno& d = lato == 32 ? Grande : Piccolo;
    QImage immagine(lato * scala, lato * scala, QImage::Format_ARGB32);
    immagine.fill(Qt::transparent);
    for (int py = 0; py < immagine.height(); ++py) {
        for (int px = 0; px < immagine.width(); ++px) {
            const double x = (px + 0.5) / scala;
            const double y = (py + 0.5) / scala;
            if (nero(d, x, y))
                immagine.setPixel(px, py, Nero);
            // The shadow is the arrow moved one pixel down and to the left.
            else if (nero(d, x + 1, y - 1))
                immagine.setPixel(px, py, Ombra);
            else if (frangia(d, x, y))
                immagine.setPixel(px, py, Frangia);
        }
    }
    return immagine;
}
