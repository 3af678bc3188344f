// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ambiente.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QtMessageHandler precedente = nullptr;

void Filtro(QtMsgType tipo, const QMessageLogContext& contesto, const QString& testo)
{
    if (testo.startsWith(QLatin1String("QStandardPaths: ")))
        return;
    if (precedente)
        precedente(tipo, contesto, testo);
    else
        qt_message_output(tipo, contesto, testo); // never reached: Qt always has a handler
}

#ifdef Q_OS_UNIX
// A folder of ours alone, made if missing: not a link, owned by us, open to nobody else.
bool CartellaPrivata(const QByteArray& percorso)
{
    if (mkdir(percorso.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info { };
    return lstat(percorso.constData(), &info) == 0 && S_ISDIR(info.st_mode)
        && info.st_uid == geteuid() && (info.st_mode & 0777) == 0700;
}
#endif

} // namespace

void PreparaAmbiente()
{
    precedente = qInstallMessageHandler(&Filtro);
#ifdef Q_OS_UNIX
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    QByteArray temporanea = qgetenv("TMPDIR");
    if (temporanea.isEmpty())
        temporanea = "/tmp";
    const QByteArray cartella = temporanea + "/runtime-" + QByteArray::number(uint(geteuid()));
    if (CartellaPrivata(cartella))
        qputenv("XDG_RUNTIME_DIR", cartella);
#endif
}
