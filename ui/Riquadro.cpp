// SPDX-License-Identifier: GPL-3.0-or-later
#include "Riquadro.h"

#include "Tavolozza.h"

#include <QPainter>
#include <QShowEvent>

namespace {
constexpr int MargineCaption = 6; // from the left edge to the caption, in pixels
}

Riquadro::Riquadro(const QString& caption, QWidget* parent)
    : QGroupBox(caption, parent)
{
    setAutoFillBackground(true);
}

void Riquadro::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metriche(font());
    const int meta = metriche.height() / 2;
    const QRect bordo = rect().adjusted(0, meta, -1, -1);

    // The etched look: a shadow line with a light line just inside and below it. Under high
    // contrast a plain line in the text's colour, which a desktop's light and shadow may not
    // tell apart from the face.
    if (Tavolozza::AltoContrasto()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(bordo);
    } else {
        painter.setPen(palette().color(QPalette::Light));
        painter.drawRect(bordo.adjusted(1, 1, 0, 0));
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(bordo.adjusted(0, 0, -1, -1));
    }

    if (title().isEmpty())
        return;
    const QRect testo(
        MargineCaption, 0, metriche.horizontalAdvance(title()) + 2, metriche.height());
    painter.fillRect(testo, palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(testo, Qt::AlignCenter | Qt::TextSingleLine, title());
}

void Riquadro::changeEvent(QEvent* event)
{
    // A group box measures its caption's font as soon as it is set, which loads the font. The
    // panels are hidden at start-up in a font of their own: it is measured when they first
    // show, off the way to the first frame.
    if (event->type() == QEvent::FontChange && !isVisible()) {
        m_fontDaMisurare = true;
        QWidget::changeEvent(event);
        return;
    }
    QGroupBox::changeEvent(event);
}

void Riquadro::showEvent(QShowEvent* event)
{
    if (m_fontDaMisurare) {
        m_fontDaMisurare = false;
        QEvent cambio(QEvent::FontChange);
        QGroupBox::changeEvent(&cambio);
    }
    QGroupBox::showEvent(event);
}
