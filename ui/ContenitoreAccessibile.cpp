// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContenitoreAccessibile.h"

#include <QGroupBox>

#include <algorithm>

ContenitoreAccessibile::ContenitoreAccessibile(QWidget* widget, QAccessible::Role ruolo)
    : QAccessibleWidget(widget, ruolo)
{
}

QList<QWidget*> ContenitoreAccessibile::Figli() const
{
    QList<QWidget*> figli;
    for (QObject* oggetto : widget()->children()) {
        auto* figlio = qobject_cast<QWidget*>(oggetto);
        if (figlio && !figlio->isWindow() && figlio->property(Ordine).isValid())
            figli << figlio;
    }
    std::stable_sort(figli.begin(), figli.end(), [](const QWidget* a, const QWidget* b) {
        return a->property(Ordine).toInt() < b->property(Ordine).toInt();
    });
    return figli;
}

int ContenitoreAccessibile::childCount() const
{
    return int(Figli().size());
}

QAccessibleInterface* ContenitoreAccessibile::child(int indice) const
{
    const QList<QWidget*> figli = Figli();
    if (indice < 0 || indice >= figli.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(figli.at(indice));
}

int ContenitoreAccessibile::indexOfChild(const QAccessibleInterface* figlio) const
{
    if (!figlio)
        return -1;
    return int(Figli().indexOf(qobject_cast<QWidget*>(figlio->object())));
}

QString ContenitoreAccessibile::text(QAccessible::Text tipo) const
{
    const QString testo = QAccessibleWidget::text(tipo);
    if (tipo == QAccessible::Name && testo.isEmpty())
        if (const auto* frame = qobject_cast<const QGroupBox*>(widget()))
            return frame->title();
    return testo;
}
