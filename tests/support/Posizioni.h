// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QRect>

// Where the controls of the window's layout table lie in its client area, in pixels at a
// screen's dots per inch, rounded as the windows round them; so that a test clicks where the
// design puts a control rather than where a table of its own says.
class Posizioni {
public:
    explicit Posizioni(int dpi = 96)
        : m_dpi(dpi)
    {
    }

    int Px(double twips) const;
    // The control's rectangle; an empty one when the table has no such row.
    QRect Rettangolo(const char* nome, int indice = -1) const;
    // Where a picture's own pixels land when the picture lies at (left, top) twips.
    QRect Pixel(int left, int top, const QRect& parte) const;
    // On an option button's circle, at its left, rather than on its caption.
    QPoint Opzione(const char* gruppo, int indice) const;
    QPoint Centro(const char* nome) const { return Rettangolo(nome).center(); }

private:
    int m_dpi;
};
