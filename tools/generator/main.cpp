// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileGenerati.h"
#include "Foglio.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QStringList>

#include <cstdio>

namespace {

int Errore(const QString& testo)
{
    std::fprintf(stderr, "idrovela-genera: %s\n", qPrintable(testo));
    return 1;
}

bool Scrivi(const QString& percorso, const QByteArray& dati)
{
    if (!QDir().mkpath(QFileInfo(percorso).absolutePath()))
        return false;
    QFile file(percorso);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(dati) == dati.size();
}

// The numbers that the resource table gives the files, read from the table itself:
// "bitmap/101" for resources/bitmap/contenitore_acqua.bmp.
QMap<QString, QString> Numeri(const QDir& cartella)
{
    QFile tabella(cartella.filePath(QStringLiteral("idrovela.qrc")));
    if (!tabella.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression voce(QStringLiteral("<file alias=\"([^\"]+)\">([^<]+)</file>"));
    QMap<QString, QString> numeri;
    for (const QRegularExpressionMatch& m : voce.globalMatch(QString::fromUtf8(tabella.readAll())))
        numeri.insert(m.captured(2), m.captured(1));
    return numeri;
}

} // namespace

int main(int argc, char* argv[])
{
    // A build tool: it never shows a window, but the contact sheet's lettering needs fonts.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QString uso
        = QStringLiteral("usage: idrovela-genera <output folder> [--foglio <sheet.png>]");
    QStringList argomenti = app.arguments().mid(1);
    QString foglio;
    const int opzione = argomenti.indexOf(QStringLiteral("--foglio"));
    if (opzione >= 0) {
        if (opzione + 1 >= argomenti.size())
            return Errore(uso);
        foglio = argomenti.takeAt(opzione + 1);
        argomenti.removeAt(opzione);
    }
    if (argomenti.size() != 1 || argomenti.first().startsWith('-'))
        return Errore(uso);

    const QDir cartella(argomenti.first());
    const QMap<QString, QByteArray> file = FileGenerati();
    for (auto it = file.cbegin(); it != file.cend(); ++it) {
        if (it.value().isEmpty())
            return Errore(QStringLiteral("%1: the picture does not fit its format").arg(it.key()));
        if (!Scrivi(cartella.filePath(it.key()), it.value()))
            return Errore(QStringLiteral("cannot write %1").arg(cartella.filePath(it.key())));
    }
    if (!foglio.isEmpty() && !FoglioProvini(file, Numeri(cartella)).save(foglio, "PNG"))
        return Errore(QStringLiteral("cannot write %1").arg(foglio));
    return 0;
}
