// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

class Figura;

// What a screen reader hears of a picture control: a picture with its name, or, when the
// control acts as a button, a push button whose press action clicks it.
class FiguraAccessibile : public QAccessibleWidget {
public:
    explicit FiguraAccessibile(Figura* figura);

    QAccessible::Role role() const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& azione) override;
    QStringList keyBindingsForAction(const QString& azione) const override;

private:
    Figura* figura() const;
};
