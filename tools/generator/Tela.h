// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QPoint>

// A canvas that sets whole pixels only. The pictures keep exact palettes and exact feature
// rows, so nothing here blends or antialiases; a region is any predicate on pixel positions.
class Tela {
public:
    Tela(int larghezza, int altezza, QRgb sfondo);

    int Larghezza() const { return m_immagine.width(); }
    int Altezza() const { return m_immagine.height(); }
    bool Contiene(int x, int y) const { return m_immagine.rect().contains(x, y); }

    QRgb Colore(int x, int y) const;
    // Outside the canvas nothing happens.
    void Punto(int x, int y, QRgb colore);
    // Every pixel of the digital line from a to b, both ends included.
    void Linea(QPoint a, QPoint b, QRgb colore);

    template <typename Regione> void Riempi(Regione dentro, QRgb colore)
    {
        for (int y = 0; y < Altezza(); ++y)
            for (int x = 0; x < Larghezza(); ++x)
                if (dentro(x, y))
                    Punto(x, y, colore);
    }

    // The pixels of the region that touch the outside through an edge: a closed line one
    // pixel thick that never leaves the region's own extent.
    template <typename Regione> void Contorno(Regione dentro, QRgb colore)
    {
        for (int y = 0; y < Altezza(); ++y)
            for (int x = 0; x < Larghezza(); ++x)
                if (dentro(x, y)
                    && (!dentro(x - 1, y) || !dentro(x + 1, y) || !dentro(x, y - 1)
                        || !dentro(x, y + 1)))
                    Punto(x, y, colore);
    }

    QImage Immagine() const { return m_immagine; }

private:
    QImage m_immagine;
};
