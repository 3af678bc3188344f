// SPDX-License-Identifier: GPL-3.0-or-later
#include "Tela.h"

#include <cmath>
#include <cstdlib>

Tela::Tela(int larghezza, int altezza, QRgb sfondo, int scala)
    : m_immagine(larghezza * qMax(1, scala), altezza * qMax(1, scala), QImage::Format_ARGB32)
    , m_scala(qMax(1, scala))
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
    if (m_scala == 1) {
        LineaDigitale(a, b, colore);
        return;
    }
    // The digital line's band: along its main direction from the first pixel's outer edge to
    // the last one's, across it one pixel centred on the true line.
    const bool orizzontale = std::abs(b.x() - a.x()) >= std::abs(b.y() - a.y());
    const auto lungo = [orizzontale](QPoint p) { return double(orizzontale ? p.x() : p.y()); };
    const auto traverso = [orizzontale](QPoint p) { return double(orizzontale ? p.y() : p.x()); };
    const double da = qMin(lungo(a), lungo(b));
    const double a_ = qMax(lungo(a), lungo(b));
    const double pendenza
        = lungo(a) == lungo(b) ? 0.0 : (traverso(b) - traverso(a)) / (lungo(b) - lungo(a));
    Riempi(
        [&](double x, double y) {
            const double l = orizzontale ? x : y;
            const double t = orizzontale ? y : x;
            if (l < da - 0.5 || l >= a_ + 0.5)
                return false;
            const double sulLato = traverso(a) + (qBound(da, l, a_) - lungo(a)) * pendenza;
            return t >= sulLato - 0.5 && t < sulLato + 0.5;
        },
        colore);
}

void Tela::LineaDigitale(QPoint a, QPoint b, QRgb colore)
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
