// SPDX-License-Identifier: GPL-3.0-or-later
#include "Confronto.h"
#include "LettoreWave.h"
#include "PrefissoWine.h"
#include "Registrazione.h"
#include "ServerPrivato.h"

#include <QFileInfo>
#include <QtEndian>
#include <QtTest>

#include <memory>

namespace {
constexpr int Frequenza = Registrazione::Frequenza;
constexpr double Somiglianza = 0.9;
// The monitor misses the first milliseconds of a new stream; comparisons start after them.
constexpr qsizetype Attacco = Frequenza / 40;
} // namespace

// The Windows program's sound under Wine while its sound server stops and starts again: the
// program's own Module1 in a console helper, on a PulseAudio server of the test's own.
class tst_SuonoWine : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void suonaDopoIlRitornoFraDueCorse();
    void sopravviveAllaFineDuranteIlSuono();

private:
    // Returns once the monitor of the server's sink carries sound, within 15 s.
    bool Udibile() const;
    // Asks the helper for the sound and waits for the call to return.
    bool Suona(QProcess& suonatore, QByteArray& risposte);
    // Ends the helper's input and returns its exit status, -1 when it did not end.
    int Chiudi(QProcess& suonatore);
    // Kills the helper if it still runs, after a failed check.
    static void Termina(QProcess& suonatore);

    std::unique_ptr<ServerPrivato> m_server;
    std::unique_ptr<PrefissoWine> m_wine;
    QString m_suonatore;
    QVector<float> m_bolle;
    int m_risposte = 0;
};

void tst_SuonoWine::initTestCase()
{
    const QString exe = qEnvironmentVariable("IDROVELA_EXE");
    m_suonatore = QFileInfo(exe).dir().filePath(QStringLiteral("bin/Suonatore.exe"));
    QVERIFY2(QFile::exists(m_suonatore), "no Suonatore.exe beside the built Idrovela.exe");
    QFile wave(QStringLiteral(IDROVELA_SORGENTI "/resources/suono/bolle.wav"));
    QVERIFY(wave.open(QIODevice::ReadOnly));
    const QByteArray immagine = wave.readAll();
    const auto campioni = LettoreWave::Leggi(immagine.constData(), immagine.size());
    QVERIFY(campioni && campioni->frequenza == Frequenza);
    m_bolle = Confronto::Mono(immagine, *campioni);

    m_server = std::make_unique<ServerPrivato>(QStringLiteral("idrovela_wine"));
    QVERIFY2(m_server->Avvia(), "the test's own server does not start");
    // Wine's programs take the server from the environment that the prefix was made with.
    const QByteArray condiviso = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", m_server->Indirizzo().toUtf8());
    m_wine = std::make_unique<PrefissoWine>();
    qputenv("PULSE_SERVER", condiviso);
    QVERIFY2(m_wine->Prepara(), qPrintable(m_wine->Errore()));
}

bool tst_SuonoWine::Udibile() const
{
    QProcess parec;
    parec.setProcessEnvironment(m_server->Ambiente());
    parec.start(QStringLiteral("parec"),
        { QStringLiteral("--device=") + m_server->Sink() + QStringLiteral(".monitor"),
            QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
            QStringLiteral("--latency-msec=10") });
    const auto ferma = qScopeGuard([&parec] {
        parec.kill();
        parec.waitForFinished(5000);
    });
    const QDeadlineTimer scadenza(15000);
    QByteArray dati;
    while (!scadenza.hasExpired() && parec.state() != QProcess::NotRunning) {
        parec.waitForReadyRead(int(qMax<qint64>(1, scadenza.remainingTime())));
        dati += parec.readAllStandardOutput();
        for (qsizetype i = 0; i + 1 < dati.size(); i += 2)
            if (qAbs(qFromLittleEndian<qint16>(dati.constData() + i)) > 3000)
                return true;
        dati = dati.right(dati.size() % 2);
    }
    return false;
}

bool tst_SuonoWine::Suona(QProcess& suonatore, QByteArray& risposte)
{
    suonatore.write("\r\n");
    return ServerPrivato::AttendiTesto(suonatore, risposte, "suonato", ++m_risposte);
}

int tst_SuonoWine::Chiudi(QProcess& suonatore)
{
    suonatore.closeWriteChannel();
    if (!suonatore.waitForFinished(20000)) {
        Termina(suonatore);
        return -1;
    }
    return suonatore.exitStatus() == QProcess::NormalExit ? suonatore.exitCode() : -1;
}

void tst_SuonoWine::Termina(QProcess& suonatore)
{
    if (suonatore.state() == QProcess::NotRunning)
        return;
    suonatore.kill();
    suonatore.waitForFinished(5000);
}

void tst_SuonoWine::suonaDopoIlRitornoFraDueCorse()
{
    m_risposte = 0;
    QVERIFY(m_server->Avvia());
    const std::unique_ptr<QProcess> suonatore = m_wine->Avvia(m_suonatore);
    QVERIFY(suonatore && suonatore->waitForStarted(10000));
    const auto termina = qScopeGuard([&suonatore] { Termina(*suonatore); });
    QByteArray risposte;

    // A run whose sound plays to its end, then the server stops and starts again.
    QProcess notizie;
    QVERIFY(m_server->AscoltaNotizie(notizie));
    QByteArray lette;
    QVERIFY2(Suona(*suonatore, risposte), "the first call did not return");
    QVERIFY2(ServerPrivato::AttendiFineFlusso(notizie, lette, true),
        "the first sound did not play to its end");
    QVERIFY(m_server->Ferma());
    notizie.waitForFinished(5000);
    QVERIFY2(m_server->Avvia(), "the test's own server does not start again");

    // The next run is heard.
    QProcess notizieDopo;
    QVERIFY(m_server->AscoltaNotizie(notizieDopo));
    const QByteArray condiviso = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", m_server->Indirizzo().toUtf8());
    Registrazione registrazione(m_server->Sink() + QStringLiteral(".monitor"));
    const bool registra = registrazione.Avvia();
    qputenv("PULSE_SERVER", condiviso);
    QVERIFY2(registra, qPrintable(registrazione.Errore()));
    lette.clear();
    QVERIFY2(Suona(*suonatore, risposte), "the call after the server's return did not return");
    const bool finito = ServerPrivato::AttendiFineFlusso(notizieDopo, lette, true);
    const QVector<float> r = registrazione.Ferma();
    notizieDopo.kill();
    notizieDopo.waitForFinished(5000);
    QVERIFY2(finito, "the run after the server's return opened no stream that ended");
    // Heard, piece by piece: starved by a busy machine, Wine's driver leaves gaps in what it
    // plays, before the server's death as after it (the window's test, run alone, compares the
    // whole sound).
    constexpr qsizetype Pezzo = Frequenza * 3 / 10;
    QStringList valori;
    int trovati = 0;
    for (qsizetype da = Attacco; da + Pezzo <= m_bolle.size(); da += Pezzo) {
        const double valore = Confronto::Cerca(r, m_bolle, da, Pezzo, 0, r.size()).correlazione;
        valori << QString::number(valore, 'f', 2);
        trovati += valore > Somiglianza;
    }
    qInfo("after the server's return, pieces of 0.3 s of the bubbling correlate %s",
        qPrintable(valori.join(QLatin1Char(' '))));
    QVERIFY2(trovati >= 2, "the run after the server's return is silent");

    QCOMPARE(Chiudi(*suonatore), 0);
    QCOMPARE(risposte + suonatore->readAllStandardOutput(), QByteArray("suonato\r\nsuonato\r\n"));
}

void tst_SuonoWine::sopravviveAllaFineDuranteIlSuono()
{
    // Wine's PulseAudio driver never hands back the buffers of a stream whose server went away,
    // so the system's player waits for them for good, and with it any later call that cuts its
    // sound; what must hold is that the program's own calls still return and it still leaves.
    m_risposte = 0;
    QVERIFY(m_server->Avvia());
    const std::unique_ptr<QProcess> suonatore = m_wine->Avvia(m_suonatore);
    QVERIFY(suonatore && suonatore->waitForStarted(10000));
    const auto termina = qScopeGuard([&suonatore] { Termina(*suonatore); });
    QByteArray risposte;
    QProcess notizie;
    QVERIFY(m_server->AscoltaNotizie(notizie));
    QByteArray lette;
    QVERIFY2(Suona(*suonatore, risposte), "the first call did not return");
    QVERIFY2(ServerPrivato::AttendiTesto(notizie, lette, "'new' on sink-input"),
        "the first sound did not start");
    QVERIFY2(Udibile(), "the first sound is not heard");
    QVERIFY(m_server->Ferma());
    notizie.waitForFinished(5000);

    QVERIFY2(Suona(*suonatore, risposte), "a call while the server is away did not return");
    QVERIFY2(m_server->Avvia(), "the test's own server does not start again");
    QVERIFY2(Suona(*suonatore, risposte), "a call after the server's return did not return");
    QCOMPARE(Chiudi(*suonatore), 0);
}

QTEST_GUILESS_MAIN(tst_SuonoWine)
#include "tst_SuonoWine.moc"
