// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class QRadioButton;

// An option button for a screen reader. Its actions click it, as the mouse or Space does, so
// that the window hears of the choice: toggling its state behind the window's back would show
// a choice that was never made.
class OpzioneAccessibile : public QAccessibleWidget {
public:
    explicit OpzioneAccessibile(QRadioButton* opzione);

    QString text(QAccessible::Text tipo) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& azione) override;
    QStringList keyBindingsForAction(const QString& azione) const override;

private:
    QRadioButton* opzione() const;
};
