// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tela.h"

#include <cstdlib>

Tela::Tela(int larghezza, int altezza, QRgb sfondo)
    : m_immagine(larghezza, altezza, QImage::Format_ARGB32)
{
    m_immagine.fill(sfondo);
}

QRgb Tela::Colore(int x, int y) const
{
    return Contiene(x, y) ? m_immagine.pixel(x, y) : 0;
}

void Tela::Punto(int x, int y, QRgb colore)
{
    if (Contiene(x, y))
        m_immagine.setPixel(x, y, colore);
}

void Tela::Linea(QPoint a, QPoint b, QRgb colore)
{
    const int dx = std::abs(b.x() - a.x());
    const int dy = -std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int errore = dx + dy;
    QPoint p = a;
    for (;;) {
        Punto(p.x(), p.y(), colore);
        if (p == b)
            return;
        const int doppio = 2 * errore;
        if (doppio >= dy) {
            errore += dy;
            p.rx() += sx;
        }
        if (doppio <= dx) {
            errore += dx;
            p.ry() += sy;
        }
    }
}
