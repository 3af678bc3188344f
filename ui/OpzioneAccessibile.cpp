// SPDX-License-Identifier: GPL-3.0-or-later
#include "OpzioneAccessibile.h"

#include <QKeySequence>
#include <QRadioButton>

OpzioneAccessibile::OpzioneAccessibile(QRadioButton* opzione)
    : QAccessibleWidget(opzione, QAccessible::RadioButton)
{
}

QRadioButton* OpzioneAccessibile::opzione() const
{
    return static_cast<QRadioButton*>(widget());
}

QString OpzioneAccessibile::text(QAccessible::Text tipo) const
{
    // Its own caption, not its group's, which a widget without a name would borrow.
    if (tipo == QAccessible::Name && opzione()->accessibleName().isEmpty())
        return opzione()->text();
    return QAccessibleWidget::text(tipo);
}

QAccessible::State OpzioneAccessibile::state() const
{
    QAccessible::State stato = QAccessibleWidget::state();
    stato.checkable = true;
    stato.checked = opzione()->isChecked();
    stato.pressed = opzione()->isDown();
    return stato;
}

QStringList OpzioneAccessibile::actionNames() const
{
    if (!opzione()->isEnabled())
        return {};
    return QStringList { pressAction(), toggleAction() } + QAccessibleWidget::actionNames();
}

void OpzioneAccessibile::doAction(const QString& azione)
{
    if (!opzione()->isEnabled())
        return;
    if (azione == pressAction() || azione == toggleAction())
        opzione()->click();
    else
        QAccessibleWidget::doAction(azione);
}

QStringList OpzioneAccessibile::keyBindingsForAction(const QString& azione) const
{
    if (azione == pressAction() || azione == toggleAction())
        return { QKeySequence(Qt::Key_Space).toString(QKeySequence::NativeText) };
    return QAccessibleWidget::keyBindingsForAction(azione);
}
