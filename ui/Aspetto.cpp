// SPDX-License-Identifier: GPL-3.0-or-later
#include "Aspetto.h"

#include "Stile.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyleFactory>
#include <QTranslator>

#include <memory>

namespace {

// Qt's own words (key names, standard buttons, a text field's menu) in Italian, as the rest of
// the window, when the pupil's desktop speaks Italian: a screen reader would read them out.
void TraduciQt()
{
    if (QLocale().language() != QLocale::Italian)
        return;
    auto traduzione = std::make_unique<QTranslator>();
    if (!traduzione->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return;
    traduzione->setParent(qApp);
    QApplication::installTranslator(traduzione.release());
}

} // namespace

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
    TraduciQt();
}

QString FamigliaArial()
{
    static const QString famiglia = QFontDatabase::families().contains(QStringLiteral("Arial"))
        ? QStringLiteral("Arial")
        : QStringLiteral("Liberation Sans");
    return famiglia;
}
