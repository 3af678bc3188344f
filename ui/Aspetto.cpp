// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aspetto.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

void ImpostaAspetto()
{
    QApplication::setApplicationName(QStringLiteral("Idrovela"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.idrovela.Idrovela"));
#ifndef Q_OS_WIN
    // The layout is fixed to the pixel: a desktop theme with larger controls would clip it.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
#endif
    QFont dialogo;
    dialogo.setFamilies({ QStringLiteral("Arial"), QStringLiteral("Liberation Sans") });
    dialogo.setPointSizeF(8.0);
    QApplication::setFont(dialogo);
}
