// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// The offscreen platform says, at every menu and box, what it cannot do (raise a window, grab
// the keyboard); thousands of those would bury what matters and hit Qt Test's cap on warnings.
// Installed from a test function, after Qt Test's own handler, which gets every other message.
inline void TaciLimitiOffscreen()
{
    static QtMessageHandler precedente = nullptr;
    precedente = qInstallMessageHandler(
        [](QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo) {
            if (!testo.startsWith(QLatin1String("This plugin does not support")))
                precedente(tipo, contesto, testo);
        });
}
