// SPDX-License-Identifier: GPL-3.0-or-later
#include "Stile.h"

#include "Contrasto.h"
#include "Tavolozza.h"

#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyleOption>

namespace {

Disposizione::Colore Da(const QColor& colore)
{
    return { colore.red(), colore.green(), colore.blue() };
}

QColor A(Disposizione::Colore colore)
{
    return QColor(colore.r, colore.g, colore.b);
}

// The base style rings a radio in its box's colour, a shade darker: on a dark face the ring
// and the indicator vanish into the box. There the ring is drawn again, where the base style
// drew it, in a colour that stands out, as under high contrast; an ordinary light face keeps
// the base style's look.
void RiaffermaAnello(const QStyleOption* opzione, QPainter* painter)
{
    const QColor sfondo = opzione->palette.color(QPalette::Window);
    const QColor testo = opzione->palette.color(QPalette::WindowText);
    if (Contrasto::Luminanza(Da(sfondo)) >= Contrasto::Luminanza(Da(testo))
        && !Tavolozza::AltoContrasto())
        return;
    const QRect rettangolo = opzione->rect;
    const QPointF centro = rettangolo.center() + QPoint(1, 1);
    const qreal raggio = (rettangolo.width() + (rettangolo.width() + 1) % 2) / 2.0 - 1;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setPen(QPen(A(Contrasto::IndicatoreSu(Da(sfondo), Da(testo))), 1.5));
    painter->setBrush(Qt::NoBrush);
    painter->drawEllipse(centro, raggio, raggio);
    painter->restore();
}

} // namespace

Stile::Stile(QStyle* base)
    : QProxyStyle(base)
{
}

void Stile::drawPrimitive(PrimitiveElement elemento, const QStyleOption* opzione, QPainter* painter,
    const QWidget* widget) const
{
    if (elemento == PE_IndicatorRadioButton) {
        QProxyStyle::drawPrimitive(elemento, opzione, painter, widget);
        RiaffermaAnello(opzione, painter);
        return;
    }
    if (elemento != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(elemento, opzione, painter, widget);
        return;
    }
    // As the base style: only once the keyboard has moved the focus, never after a click.
    if (!(opzione->state & State_KeyboardFocusChange))
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    // Button text, not window text: a panel colours its window text as its caption. Where the
    // desktop's button text would not stand out on what lies behind, black or white does.
    const QColor sfondo = opzione->palette.color(
        qobject_cast<const QPushButton*>(widget) ? QPalette::Button : QPalette::Window);
    QPen penna(
        A(Contrasto::IndicatoreSu(Da(sfondo), Da(opzione->palette.color(QPalette::ButtonText)))), 1,
        Qt::DotLine);
    painter->setPen(penna);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(opzione->rect.adjusted(0, 0, -1, -1));
    painter->restore();
}

void Stile::drawControl(ControlElement elemento, const QStyleOption* opzione, QPainter* painter,
    const QWidget* widget) const
{
    // A menu bar holds the focus only while the keyboard is in it: its current entry is drawn
    // as if open, so that the pupil sees where the arrows start from.
    if (elemento == CE_MenuBarItem && widget && widget->hasFocus()
        && opzione->state & State_Selected) {
        if (const auto* voce = qstyleoption_cast<const QStyleOptionMenuItem*>(opzione)) {
            QStyleOptionMenuItem evidenziata = *voce;
            evidenziata.state |= State_Sunken;
            QProxyStyle::drawControl(elemento, &evidenziata, painter, widget);
            return;
        }
    }
    QProxyStyle::drawControl(elemento, opzione, painter, widget);
    // Some base styles show a push button's focus only as a tinted outline: add the frame.
    if (elemento == CE_PushButton && opzione->state & State_HasFocus) {
        QStyleOptionFocusRect cornice;
        cornice.QStyleOption::operator=(*opzione);
        cornice.rect = subElementRect(SE_PushButtonFocusRect, opzione, widget);
        drawPrimitive(PE_FrameFocusRect, &cornice, painter, widget);
    }
}
