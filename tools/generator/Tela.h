// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>

// A canvas that sets whole pixels only. The pictures keep exact palettes and exact feature
// rows, so nothing here blends or antialiases; a region is any predicate on positions.
//
// A drawing is made for a scale: at scale n every length of the design is n times longer and
// each design pixel is n by n pixels of the canvas. Regions are asked about the centres of the
// canvas's pixels in design units, with design pixel (x, y) centred on (x, y), so at scale 1
// they see whole numbers and at larger scales the same shapes come out with finer edges.
class Tela {
public:
    // The size is the design's; the canvas is scala times larger each way.
    Tela(int larghezza, int altezza, QRgb sfondo, int scala = 1);

    int Scala() const { return m_scala; }
    // In the canvas's own pixels.
    int Larghezza() const { return m_immagine.width(); }
    int Altezza() const { return m_immagine.height(); }
    bool Contiene(int x, int y) const { return m_immagine.rect().contains(x, y); }
    // Where the centre of the canvas's pixel column or row i lies in design units.
    double Centro(int i) const { return (i + 0.5) / m_scala - 0.5; }

    // A pixel of the canvas; outside it nothing happens.
    QRgb Colore(int x, int y) const;
    void Punto(int x, int y, QRgb colore);
    // A line between two design pixels, one design pixel thick across its main direction, both
    // ends included: at scale 1 every pixel of the digital line from a to b.
    void Linea(QPoint a, QPoint b, QRgb colore);

    template <typename Regione> void Riempi(Regione dentro, QRgb colore)
    {
        for (int y = 0; y < Altezza(); ++y)
            for (int x = 0; x < Larghezza(); ++x)
                if (dentro(Centro(x), Centro(y)))
                    Punto(x, y, colore);
    }

    // The part of the region whose neighbour one design pixel away, across or down, lies
    // outside: a closed line one design pixel thick that never leaves the region's own extent.
    template <typename Regione> void Contorno(Regione dentro, QRgb colore)
    {
        Riempi(
            [&dentro](double x, double y) {
                return dentro(x, y)
                    && (!dentro(x - 1, y) || !dentro(x + 1, y) || !dentro(x, y - 1)
                        || !dentro(x, y + 1));
            },
            colore);
    }

    QImage Immagine() const { return m_immagine; }

private:
    void LineaDigitale(QPoint a, QPoint b, QRgb colore);

    QImage m_immagine;
    int m_scala = 1;
};

// The design pixels from (sinistra, alto) to (destra, basso), both included, as a region.
struct Rettangolo {
    int sinistra;
    int alto;
    int destra;
    int basso;

    bool operator()(double x, double y) const
    {
        return x >= sinistra - 0.5 && x < destra + 0.5 && y >= alto - 0.5 && y < basso + 0.5;
    }
};
