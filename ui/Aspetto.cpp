// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aspetto.h"

#include "Stile.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QStyleFactory>

void ImpostaAspetto()
{
    QApplication::setApplicationName(QStringLiteral("Idrovela"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.idrovela.Idrovela"));
    // The layout is fixed to the pixel: a desktop theme with larger controls would clip it.
    QApplication::setStyle(new Stile(QStyleFactory::create(QStringLiteral("Fusion"))));
    QFont dialogo;
    dialogo.setFamily(FamigliaArial());
    dialogo.setPointSizeF(8.0);
    QApplication::setFont(dialogo);
}

QString FamigliaArial()
{
    static const QString famiglia = QFontDatabase::families().contains(QStringLiteral("Arial"))
        ? QStringLiteral("Arial")
        : QStringLiteral("Liberation Sans");
    return famiglia;
}
