// SPDX-License-Identifier: GPL-3.0-or-later
#include "Accessibilita.h"

#include "ContenitoreAccessibile.h"
#include "Figura.h"
#include "FiguraAccessibile.h"
#include "OpzioneAccessibile.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRadioButton>

namespace {

QAccessibleInterface* Fabbrica(const QString& classe, QObject* oggetto)
{
    auto* widget = qobject_cast<QWidget*>(oggetto);
    if (!widget)
        return nullptr;
    if (classe == QLatin1String("Figura"))
        return new FiguraAccessibile(static_cast<Figura*>(widget));
    if (classe == QLatin1String("QRadioButton"))
        return new OpzioneAccessibile(static_cast<QRadioButton*>(widget));
    if (classe == QLatin1String("Avviso"))
        return new QAccessibleWidget(widget, QAccessible::Notification);
    if (classe == QLatin1String("Riquadro"))
        return new ContenitoreAccessibile(widget, QAccessible::Grouping);
    if (classe == QLatin1String("QWidget")
        && widget->property(ContenitoreAccessibile::Ordinato).toBool())
        return new ContenitoreAccessibile(widget, QAccessible::Client);
    return nullptr;
}

} // namespace

void InstallaAccessibilita()
{
    static const bool installata = [] {
        QAccessible::installFactory(&Fabbrica);
        return true;
    }();
    Q_UNUSED(installata)
}
