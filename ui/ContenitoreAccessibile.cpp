// SPDX-License-Identifier: GPL-3.0-or-later
#include "ContenitoreAccessibile.h"

#include <QGroupBox>

#include <algorithm>

ContenitoreAccessibile::ContenitoreAccessibile(QWidget* widget, QAccessible::Role ruolo)
    : QAccessibleWidget(widget, ruolo)
{
}

void ContenitoreAccessibile::Annuncia(const QWidget* contenitore, const QList<QWidget*>& prima)
{
    if (!QAccessible::isActive())
        return;
    const QList<QWidget*> dopo = FigliDi(contenitore);
    for (QWidget* figlio : prima)
        if (!dopo.contains(figlio)) {
            QAccessibleEvent uscito(figlio, QAccessible::ObjectDestroyed);
            QAccessible::updateAccessibility(&uscito);
        }
    for (QWidget* figlio : dopo)
        if (!prima.contains(figlio)) {
            QAccessibleEvent entrato(figlio, QAccessible::ObjectCreated);
            QAccessible::updateAccessibility(&entrato);
        }
}

QList<QWidget*> ContenitoreAccessibile::FigliDi(const QWidget* contenitore)
{
    QList<QWidget*> figli;
    QList<QWidget*> fogli;
    for (QObject* oggetto : contenitore->children()) {
        auto* figlio = qobject_cast<QWidget*>(oggetto);
        if (!figlio || figlio->isWindow() || figlio->isHidden()
            || !figlio->property(Ordine).isValid())
            continue;
        figli << figlio;
        if (figlio->property(Foglio).toBool())
            fogli << figlio;
    }
    if (!fogli.isEmpty())
        figli = fogli;
    std::stable_sort(figli.begin(), figli.end(), [](const QWidget* a, const QWidget* b) {
        return a->property(Ordine).toInt() < b->property(Ordine).toInt();
    });
    return figli;
}

int ContenitoreAccessibile::childCount() const
{
    return int(FigliDi(widget()).size());
}

QAccessibleInterface* ContenitoreAccessibile::child(int indice) const
{
    const QList<QWidget*> figli = FigliDi(widget());
    if (indice < 0 || indice >= figli.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(figli.at(indice));
}

int ContenitoreAccessibile::indexOfChild(const QAccessibleInterface* figlio) const
{
    if (!figlio)
        return -1;
    return int(FigliDi(widget()).indexOf(qobject_cast<QWidget*>(figlio->object())));
}

QString ContenitoreAccessibile::text(QAccessible::Text tipo) const
{
    const QString testo = QAccessibleWidget::text(tipo);
    if (tipo == QAccessible::Name && testo.isEmpty())
        if (const auto* frame = qobject_cast<const QGroupBox*>(widget()))
            return frame->title();
    return testo;
}

QAccessible::Role ContenitoreAccessibile::role() const
{
    // A sheet over the window is a dialog for a screen reader, which then reads its texts as
    // it reads a message box's.
    return widget()->property(Foglio).toBool() ? QAccessible::Dialog : QAccessibleWidget::role();
}
