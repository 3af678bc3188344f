// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

// A container as a screen reader walks it: its children in reading order, which need not be
// the order in which they stack, and only those that have a place in it. A child takes its
// place from the integer property named Ordine; one without it is left out of the tree.
class ContenitoreAccessibile : public QAccessibleWidget {
public:
    static constexpr const char* Ordine = "ordineDiLettura";
    // The property that gives a plain widget this reading of its children.
    static constexpr const char* Ordinato = "letturaOrdinata";

    ContenitoreAccessibile(QWidget* widget, QAccessible::Role ruolo);

    int childCount() const override;
    QAccessibleInterface* child(int indice) const override;
    int indexOfChild(const QAccessibleInterface* figlio) const override;
    QString text(QAccessible::Text tipo) const override;

private:
    QList<QWidget*> Figli() const;
};
