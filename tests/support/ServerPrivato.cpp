// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerPrivato.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

ServerPrivato::ServerPrivato(QString sink)
    : m_sink(std::move(sink))
    , m_cartella(QDir::tempPath() + QStringLiteral("/idrovela-pulse-XXXXXX"))
{
}

ServerPrivato::~ServerPrivato()
{
    Ferma();
}

QString ServerPrivato::Indirizzo() const
{
    return QStringLiteral("unix:") + m_cartella.filePath(QStringLiteral("pulse/native"));
}

QProcessEnvironment ServerPrivato::Ambiente() const
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.insert(QStringLiteral("PULSE_SERVER"), Indirizzo());
    return ambiente;
}

bool ServerPrivato::Esegui(
    const QString& programma, const QStringList& argomenti, QByteArray* uscita)
{
    QProcessEnvironment ambiente = Ambiente();
    ambiente.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_cartella.path());
    QProcess processo;
    processo.setProcessEnvironment(ambiente);
    processo.start(programma, argomenti);
    const bool riuscito = processo.waitForFinished(10000)
        && processo.exitStatus() == QProcess::NormalExit && processo.exitCode() == 0;
    if (uscita)
        *uscita = processo.readAllStandardOutput();
    return riuscito;
}

bool ServerPrivato::Risponde()
{
    QByteArray risposta;
    return QFile::exists(m_cartella.filePath(QStringLiteral("pulse/native")))
        && Esegui(QStringLiteral("pactl"), { QStringLiteral("get-default-sink") }, &risposta)
        && risposta.trimmed() == m_sink.toUtf8();
}

bool ServerPrivato::Avvia()
{
    if (!m_cartella.isValid())
        return false;
    if (Risponde())
        return true;
    if (!Esegui(QStringLiteral("pulseaudio"),
            { QStringLiteral("--daemonize=yes"), QStringLiteral("--exit-idle-time=-1"),
                QStringLiteral("-n"),
                QStringLiteral("--log-target=file:") + m_cartella.filePath(QStringLiteral("log")),
                QStringLiteral("--load=module-null-sink sink_name=") + m_sink,
                QStringLiteral("--load=module-native-protocol-unix") }))
        return false;
    const QDeadlineTimer scadenza(10000);
    while (!Risponde()) {
        if (scadenza.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

bool ServerPrivato::Ferma()
{
    const QString presa = m_cartella.filePath(QStringLiteral("pulse/native"));
    if (!QFile::exists(presa))
        return true;
    Esegui(QStringLiteral("pulseaudio"), { QStringLiteral("--kill") });
    const QDeadlineTimer scadenza(10000);
    while (QFile::exists(presa)) {
        if (scadenza.hasExpired())
            return false;
        QTest::qWait(50);
    }
    return true;
}

bool ServerPrivato::AscoltaNotizie(QProcess& pactl) const
{
    pactl.setProcessEnvironment(Ambiente());
    pactl.start(QStringLiteral("pactl"), { QStringLiteral("subscribe") });
    return pactl.waitForStarted(5000);
}

bool ServerPrivato::AttendiTesto(
    QProcess& processo, QByteArray& letto, const QByteArray& testo, int volte)
{
    const QDeadlineTimer scadenza(15000);
    for (;;) {
        letto += processo.readAllStandardOutput();
        if (letto.count(testo) >= volte)
            return true;
        if (scadenza.hasExpired() || processo.state() == QProcess::NotRunning)
            return false;
        processo.waitForReadyRead(int(qMax<qint64>(1, scadenza.remainingTime())));
    }
}

bool ServerPrivato::AttendiFineFlusso(QProcess& pactl, QByteArray& letto, bool soloCambiati)
{
    static const QRegularExpression notizia(
        QStringLiteral("Event '(new|change|remove)' on sink-input #(\\d+)"));
    const QDeadlineTimer scadenza(15000);
    QSet<QString> iniziati;
    QSet<QString> suonati; // started, then played: the server changed them
    qsizetype fatto = 0;
    for (;;) {
        letto += pactl.readAllStandardOutput();
        for (qsizetype fine; (fine = letto.indexOf('\n', fatto)) >= 0; fatto = fine + 1) {
            const QRegularExpressionMatch trovata
                = notizia.match(QString::fromUtf8(letto.mid(fatto, fine - fatto)));
            if (!trovata.hasMatch())
                continue;
            const QString tipo = trovata.captured(1);
            const QString flusso = trovata.captured(2);
            if (tipo == QLatin1String("new"))
                iniziati.insert(flusso);
            else if (tipo == QLatin1String("change") && iniziati.contains(flusso))
                suonati.insert(flusso);
            else if (tipo == QLatin1String("remove")
                && (soloCambiati ? suonati : iniziati).contains(flusso))
                return true;
        }
        if (scadenza.hasExpired() || pactl.state() == QProcess::NotRunning)
            return false;
        pactl.waitForReadyRead(int(qMax<qint64>(1, scadenza.remainingTime())));
    }
}
