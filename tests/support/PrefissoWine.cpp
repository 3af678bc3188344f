// SPDX-License-Identifier: GPL-3.0-or-later
#include "PrefissoWine.h"

#include <QDir>
#include <QFile>

PrefissoWine::PrefissoWine(const QString& display)
    : m_cartella(QDir::temp().filePath(QStringLiteral("idrovela-wine-XXXXXX")))
    , m_ambiente(QProcessEnvironment::systemEnvironment())
{
    const QDir cartella(m_cartella.path());
    cartella.mkpath(QStringLiteral("home"));
    m_ambiente.insert(QStringLiteral("WINEPREFIX"), cartella.filePath(QStringLiteral("prefisso")));
    m_ambiente.insert(QStringLiteral("HOME"), cartella.filePath(QStringLiteral("home")));
    m_ambiente.insert(QStringLiteral("XDG_CONFIG_HOME"), cartella.filePath(QStringLiteral("home")));
    m_ambiente.insert(QStringLiteral("XDG_CACHE_HOME"), cartella.filePath(QStringLiteral("home")));
    m_ambiente.insert(QStringLiteral("XDG_DATA_HOME"), cartella.filePath(QStringLiteral("home")));
    m_ambiente.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    m_ambiente.insert(QStringLiteral("WINEDLLOVERRIDES"),
        QStringLiteral("mscoree,mshtml=;winemenubuilder.exe=d"));
    m_ambiente.insert(QStringLiteral("WINEARCH"), QStringLiteral("win64"));
    // Qt's own platform choice means nothing to Wine.
    m_ambiente.remove(QStringLiteral("QT_QPA_PLATFORM"));
    if (display.isEmpty())
        m_ambiente.remove(QStringLiteral("DISPLAY"));
    else
        m_ambiente.insert(QStringLiteral("DISPLAY"), display);
    // PULSE_SERVER passes through: Wine's PulseAudio driver plays where the tests record.
}

PrefissoWine::~PrefissoWine()
{
    if (!m_cartella.isValid())
        return;
    if (!AttendiServer(30000)) {
        // Every program is gone or hung by now; only then may the server be killed.
        QProcess wineserver;
        wineserver.setProcessEnvironment(m_ambiente);
        wineserver.start(QStringLiteral("wineserver"), { QStringLiteral("-k") });
        wineserver.waitForFinished(10000);
    }
}

PrefissoWine::Esito PrefissoWine::Attendi(QProcess& processo, int attesaMs)
{
    if (!processo.waitForFinished(attesaMs)) {
        processo.kill();
        processo.waitForFinished(5000);
        return { -1, processo.readAll() };
    }
    return { processo.exitStatus() == QProcess::NormalExit ? processo.exitCode() : -1,
        processo.readAll() };
}

bool PrefissoWine::Prepara(int attesaMs)
{
    if (!m_cartella.isValid()) {
        m_errore = QStringLiteral("no temporary folder: ") + m_cartella.errorString();
        return false;
    }
    QProcess wineboot;
    wineboot.setProcessEnvironment(m_ambiente);
    wineboot.setProcessChannelMode(QProcess::MergedChannels);
    wineboot.start(QStringLiteral("wineboot"), { QStringLiteral("-i") });
    if (!wineboot.waitForStarted(10000)) {
        m_errore = QStringLiteral("wineboot does not start: ") + wineboot.errorString();
        return false;
    }
    const Esito esito = Attendi(wineboot, attesaMs);
    if (esito.stato != 0) {
        m_errore = QStringLiteral("wineboot -i failed: ") + QString::fromLocal8Bit(esito.uscita);
        return false;
    }
    if (!AttendiServer(attesaMs)) {
        m_errore = QStringLiteral("the Wine server did not end after wineboot");
        return false;
    }
    return true;
}

std::unique_ptr<QProcess> PrefissoWine::Avvia(
    const QString& programma, const QStringList& argomenti)
{
    auto processo = std::make_unique<QProcess>();
    processo->setProcessEnvironment(m_ambiente);
    processo->setProcessChannelMode(QProcess::MergedChannels);
    processo->start(QStringLiteral("wine"), QStringList { programma } + argomenti);
    return processo;
}

QString PrefissoWine::Racconta(QProcess& processo) const
{
    const QString stato = processo.state() == QProcess::NotRunning
        ? QStringLiteral("it ended with code %1").arg(processo.exitCode())
        : QStringLiteral("it is still running");
    const QStringList righe = QString::fromLocal8Bit(processo.readAll()).split(QLatin1Char('\n'));
    return stato + QStringLiteral("; its last lines:\n")
        + righe.mid(qMax(0, righe.size() - 20)).join('\n')
        + QStringLiteral("\nthe prefix's processes (pid, state, where it waits, command):\n")
        + Processi();
}

// Read from /proc rather than from ps, which cannot tell one prefix's processes from those of
// another test running beside this one.
QString PrefissoWine::Processi() const
{
    const QByteArray nostro
        = "WINEPREFIX=" + m_ambiente.value(QStringLiteral("WINEPREFIX")).toLocal8Bit();
    const auto leggi = [](const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    QStringList righe;
    const QDir proc(QStringLiteral("/proc"));
    for (const QString& pid : proc.entryList(QDir::Dirs)) {
        if (!pid.front().isDigit()
            || !leggi(proc.filePath(pid + "/environ")).split('\0').contains(nostro))
            continue;
        const QByteArray stat = leggi(proc.filePath(pid + "/stat"));
        const QByteArray stato = stat.mid(stat.lastIndexOf(')') + 2, 1);
        QByteArray comando = leggi(proc.filePath(pid + "/cmdline"));
        comando.replace('\0', ' ');
        righe << QStringLiteral("%1 %2 %3 %4")
                     .arg(pid, QString::fromLatin1(stato),
                         QString::fromLatin1(leggi(proc.filePath(pid + "/wchan"))),
                         QString::fromLocal8Bit(comando.trimmed()));
    }
    return righe.isEmpty() ? QStringLiteral("none") : righe.join('\n');
}

PrefissoWine::Esito PrefissoWine::Esegui(
    const QString& programma, const QStringList& argomenti, int attesaMs)
{
    const std::unique_ptr<QProcess> processo = Avvia(programma, argomenti);
    if (!processo->waitForStarted(10000))
        return { -1, processo->errorString().toLocal8Bit() };
    return Attendi(*processo, attesaMs);
}

PrefissoWine::Esito PrefissoWine::Registro(const QString& chiave, const QString& valore)
{
    QStringList argomenti { QStringLiteral("query"), chiave };
    if (!valore.isEmpty())
        argomenti << QStringLiteral("/v") << valore;
    return Esegui(QStringLiteral("reg"), argomenti, 30000);
}

QString PrefissoWine::PercorsoUnix(const QString& percorsoWindows) const
{
    QString resto = percorsoWindows;
    if (resto.startsWith(QLatin1String("C:"), Qt::CaseInsensitive))
        resto.remove(0, 2);
    resto.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return QDir(m_ambiente.value(QStringLiteral("WINEPREFIX")))
        .filePath(QStringLiteral("drive_c") + resto);
}

bool PrefissoWine::ImpostaDpi(int dpi)
{
    const Esito esito = Esegui(QStringLiteral("reg"),
        { QStringLiteral("add"), QStringLiteral("HKCU\\Control Panel\\Desktop"),
            QStringLiteral("/v"), QStringLiteral("LogPixels"), QStringLiteral("/t"),
            QStringLiteral("REG_DWORD"), QStringLiteral("/d"), QString::number(dpi),
            QStringLiteral("/f") },
        30000);
    if (esito.stato != 0)
        m_errore
            = QStringLiteral("reg add LogPixels failed: ") + QString::fromLocal8Bit(esito.uscita);
    return esito.stato == 0 && AttendiServer();
}

bool PrefissoWine::AttendiServer(int attesaMs)
{
    QProcess wineserver;
    wineserver.setProcessEnvironment(m_ambiente);
    wineserver.start(QStringLiteral("wineserver"), { QStringLiteral("-w") });
    if (!wineserver.waitForStarted(10000))
        return false;
    return Attendi(wineserver, attesaMs).stato == 0;
}
