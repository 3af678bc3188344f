// SPDX-License-Identifier: GPL-3.0-or-later
#include "Stile.h"

#include <QPainter>
#include <QStyleOption>

Stile::Stile(QStyle* base)
    : QProxyStyle(base)
{
}

void Stile::drawPrimitive(PrimitiveElement elemento, const QStyleOption* opzione, QPainter* painter,
    const QWidget* widget) const
{
    if (elemento != PE_FrameFocusRect) {
        QProxyStyle::drawPrimitive(elemento, opzione, painter, widget);
        return;
    }
    // As the base style: only once the keyboard has moved the focus, never after a click.
    if (!(opzione->state & State_KeyboardFocusChange))
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    // Button text, not window text: a panel colours its window text as its caption.
    QPen penna(opzione->palette.color(QPalette::ButtonText), 1, Qt::DotLine);
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
