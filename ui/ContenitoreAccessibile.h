// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAccessibleWidget>

// A container as a screen reader walks it: its children in reading order, which need not be
// the order in which they stack, and only those that have a place in it and show. A child
// takes its place from the integer property named Ordine; one without it is left out of the
// tree, and so is one that is hidden. A child with the property Foglio set is a sheet laid
// over the others: while one shows, the sheets that show are the only children, since what
// lies under them can be neither seen nor reached by the keys.
class ContenitoreAccessibile : public QAccessibleWidget {
public:
    static constexpr const char* Ordine = "ordineDiLettura";
    // The property that gives a plain widget this reading of its children.
    static constexpr const char* Ordinato = "letturaOrdinata";
    static constexpr const char* Foglio = "foglioSopra";

    // The children a screen reader finds in a container, in reading order.
    static QList<QWidget*> FigliDi(const QWidget* contenitore);
    // Tells screen readers which children came into the tree and which left it since it held
    // prima, as they showed or hid.
    static void Annuncia(const QWidget* contenitore, const QList<QWidget*>& prima);

    ContenitoreAccessibile(QWidget* widget, QAccessible::Role ruolo);

    int childCount() const override;
    QAccessibleInterface* child(int indice) const override;
    int indexOfChild(const QAccessibleInterface* figlio) const override;
    QString text(QAccessible::Text tipo) const override;
    QAccessible::Role role() const override;
};
