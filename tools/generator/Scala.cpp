// SPDX-License-Identifier: GPL-3.0-or-later
#include "Scala.h"

#include <QList>

#include <array>
#include <cmath>

namespace {

using Pixel = std::array<double, 4>; // alpha and the colours weighted by alpha

// How much of source cell s falls into the n-th of `nuovi` equal parts of `vecchi` cells.
double Copertura(int s, int n, int vecchi, int nuovi)
{
    const double da = double(n) * vecchi / nuovi;
    const double a = double(n + 1) * vecchi / nuovi;
    return qMax(0.0, qMin(a, s + 1.0) - qMax(da, double(s)));
}

quint8 Byte(double v)
{
    return quint8(qBound(0.0, std::floor(v + 0.5), 255.0));
}

} // namespace

QImage Rimpicciolisci(const QImage& immagine, int lato)
{
    const QImage sorgente = immagine.convertToFormat(QImage::Format_ARGB32);
    const int w = sorgente.width();
    const int h = sorgente.height();
    if (lato <= 0 || w <= 0 || h <= 0)
        return {};

    // First along the rows, then down the columns.
    QList<Pixel> righe(lato * h, Pixel {});
    for (int y = 0; y < h; ++y)
        for (int n = 0; n < lato; ++n) {
            Pixel somma {};
            for (int x = n * w / lato; x < w && x < ((n + 1) * w + lato - 1) / lato; ++x) {
                const double peso = Copertura(x, n, w, lato);
                const QRgb c = sorgente.pixel(x, y);
                const double alfa = qAlpha(c) * peso;
                somma[0] += alfa;
                somma[1] += qRed(c) * alfa;
                somma[2] += qGreen(c) * alfa;
                somma[3] += qBlue(c) * alfa;
            }
            righe[y * lato + n] = somma;
        }

    QImage risultato(lato, lato, QImage::Format_ARGB32);
    const double area = double(w) / lato * h / lato;
    for (int x = 0; x < lato; ++x)
        for (int n = 0; n < lato; ++n) {
            Pixel somma {};
            for (int y = n * h / lato; y < h && y < ((n + 1) * h + lato - 1) / lato; ++y) {
                const double peso = Copertura(y, n, h, lato);
                for (int k = 0; k < 4; ++k)
                    somma[k] += righe[y * lato + x][k] * peso;
            }
            const double alfa = somma[0];
            const auto colore = [&](int k) { return alfa > 0 ? Byte(somma[k] / alfa) : quint8(0); };
            const quint8 a = Byte(alfa / area);
            risultato.setPixel(x, n, a ? qRgba(colore(1), colore(2), colore(3), a) : 0);
        }
    return risultato;
}

QImage Ingrandisci(const QImage& immagine, int fattore)
{
    const QImage sorgente = immagine.convertToFormat(QImage::Format_ARGB32);
    if (fattore <= 0 || sorgente.isNull())
        return {};
    QImage risultato(
        sorgente.width() * fattore, sorgente.height() * fattore, QImage::Format_ARGB32);
    for (int y = 0; y < risultato.height(); ++y)
        for (int x = 0; x < risultato.width(); ++x)
            risultato.setPixel(x, y, sorgente.pixel(x / fattore, y / fattore));
    return risultato;
}
