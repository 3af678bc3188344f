// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figura.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

Figura::Figura(QWidget* parent)
    : QWidget(parent)
{
}

void Figura::setPicture(const QImage& immagine)
{
    m_carica = nullptr; // a picture put in now replaces one still waiting
    m_pixmap = QPixmap::fromImage(immagine);
    if (!m_pixmap.isNull())
        resize(m_pixmap.deviceIndependentSize().toSize());
    update();
}

void Figura::setPictureDifferita(std::function<QImage()> carica)
{
    m_carica = std::move(carica);
    if (isVisible())
        CaricaDifferita();
}

void Figura::CaricaDifferita()
{
    if (m_carica)
        setPicture(std::exchange(m_carica, nullptr)());
}

void Figura::showEvent(QShowEvent* event)
{
    CaricaDifferita();
    QWidget::showEvent(event);
}

void Figura::setBorderStyle(int stile)
{
    if (stile == m_borderStyle)
        return;
    m_borderStyle = stile;
    update();
}

void Figura::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_pixmap.isNull())
        painter.drawPixmap(0, 0, m_pixmap);
    if (m_borderStyle == 1) {
        // One logical pixel wide along the edges, whatever the screen's scale.
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
}

void Figura::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseDown();
}

void Figura::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    emit mouseUp();
    // Like a button: a left press released over the picture is a click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}
