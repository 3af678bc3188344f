// SPDX-License-Identifier: GPL-3.0-or-later
#include "Posizioni.h"

#include "Disposizione.h"

#include <cmath>
#include <cstring>

int Posizioni::Px(double twips) const
{
    return int(std::lround(twips * m_dpi / 1440.0));
}

QRect Posizioni::Rettangolo(const char* nome, int indice) const
{
    for (const Disposizione::Riga& riga : Disposizione::Controlli) {
        if (std::strcmp(riga.nome, nome) != 0 || riga.indice != indice)
            continue;
        int left = riga.left;
        int top = riga.top;
        if (riga.contenitore)
            for (const Disposizione::Riga& frame : Disposizione::Controlli)
                if (std::strcmp(frame.nome, riga.contenitore) == 0) {
                    left += frame.left;
                    top += frame.top;
                }
        return QRect(Px(left), Px(top), Px(riga.width), Px(riga.height));
    }
    return {};
}

QRect Posizioni::Pixel(int left, int top, const QRect& parte) const
{
    const int x = left + 15 * parte.left();
    const int y = top + 15 * parte.top();
    return QRect(QPoint(Px(x), Px(y)),
        QPoint(Px(x + 15 * parte.width()) - 1, Px(y + 15 * parte.height()) - 1));
}

QPoint Posizioni::Opzione(const char* gruppo, int indice) const
{
    const QRect r = Rettangolo(gruppo, indice);
    return QPoint(r.left() + Px(120), r.center().y());
}
