// SPDX-License-Identifier: GPL-3.0-or-later
#include "Linea.h"

#include <QPainter>

Linea::Linea(QPoint da, QPoint a, int spessore, QColor colore, QWidget* parent)
    : QWidget(parent)
    , m_colore(colore)
{
    spessore = qMax(1, spessore);
    const int prima = spessore / 2;
    const int dopo = spessore - prima - 1;
    QRect tratto = QRect(da, a).normalized();
    if (da.y() == a.y())
        tratto.adjust(0, -prima, 0, dopo);
    else
        tratto.adjust(-prima, 0, dopo, 0);
    setGeometry(tratto);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Linea::setColore(QColor colore)
{
    if (colore == m_colore)
        return;
    m_colore = colore;
    update();
}

void Linea::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), m_colore);
}
