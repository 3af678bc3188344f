// SPDX-License-Identifier: GPL-3.0-or-later
#include "FiguraAccessibile.h"

#include "Figura.h"

#include <QKeySequence>

FiguraAccessibile::FiguraAccessibile(Figura* figura)
    : QAccessibleWidget(figura)
{
}

Figura* FiguraAccessibile::figura() const
{
    return static_cast<Figura*>(widget());
}

QAccessible::Role FiguraAccessibile::role() const
{
    return figura()->bottone() ? QAccessible::Button : QAccessible::Graphic;
}

QAccessible::State FiguraAccessibile::state() const
{
    QAccessible::State stato = QAccessibleWidget::state();
    stato.pressed = figura()->borderStyle() == 1;
    return stato;
}

QStringList FiguraAccessibile::actionNames() const
{
    if (!figura()->bottone())
        return {};
    return QStringList { pressAction() } + QAccessibleWidget::actionNames();
}

void FiguraAccessibile::doAction(const QString& azione)
{
    if (azione == pressAction() && figura()->bottone())
        figura()->click();
    else
        QAccessibleWidget::doAction(azione);
}

QStringList FiguraAccessibile::keyBindingsForAction(const QString& azione) const
{
    if (azione == pressAction() && figura()->bottone())
        return { QKeySequence(Qt::Key_Space).toString(QKeySequence::NativeText) };
    return QAccessibleWidget::keyBindingsForAction(azione);
}
