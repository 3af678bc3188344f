// SPDX-License-Identifier: GPL-3.0-or-later
#include "Confronto.h"
#include "CostruttoreWave.h"
#include "LettoreWave.h"
#include "Module1.h"
#include "Registrazione.h"
#include "Risorse.h"
#include "ServerPrivato.h"

#include <QtTest>

#include <algorithm>
#include <climits>
#include <cstring>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The tests that play need the private PulseAudio server that tools/test.sh starts through
// tools/with-sound-server.sh: its null sink is the default output, and IDROVELA_SERVER_AUDIO
// names it so that its monitor can be recorded.
#define RICHIEDE_SERVER()                                                                          \
    do {                                                                                           \
        if (m_sink.isEmpty())                                                                      \
            QSKIP("needs the private PulseAudio server that tools/test.sh starts "                 \
                  "(IDROVELA_SERVER_AUDIO names its null sink)");                                  \
    } while (false)

namespace {

constexpr int RisorsaSuono = 101;
constexpr int NumeroSenzaRisorsa = 9999;
constexpr int Frequenza = Registrazione::Frequenza;
// A normalised correlation this high means the recording holds the sound, alone.
constexpr double Somiglianza = 0.9;
// Louder than this, in full scale, is not silence.
constexpr float Silenzio = 0.01f;
// The monitor of a null sink misses the first few milliseconds of a new stream (pacat's too):
// the sink mixes ahead and hands that to the monitor at once, and a stream that arrives later
// is mixed in by rewinding, which the monitor cannot take back. Comparisons therefore start
// this far into a sound.
constexpr qsizetype Attacco = Frequenza / 40;
// For the same reason a sound may show in the recording a little before the call that plays
// it returned, as far back as this.
constexpr qsizetype Anticipo = Frequenza / 10;

QByteArray Inventato8Mono(double secondi = 1.6)
{
    return CostruttoreWave::Rumore(secondi, 1, 11025, 8, 7);
}

QByteArray Inventato16Stereo()
{
    return CostruttoreWave::Rumore(1.6, 2, 22050, 16, 11);
}

// What the recording should hold: the samples as mono at the recording's rate.
QVector<float> Atteso(const QByteArray& immagine)
{
    const std::optional<LettoreWave::Campioni> campioni
        = LettoreWave::Leggi(immagine.constData(), immagine.size());
    if (!campioni || campioni->frequenza % Frequenza != 0)
        return {};
    const QVector<float> mono = Confronto::Mono(immagine, *campioni);
    const int passo = campioni->frequenza / Frequenza;
    QVector<float> atteso(mono.size() / passo);
    for (qsizetype i = 0; i < atteso.size(); ++i) {
        float somma = 0;
        for (int k = 0; k < passo; ++k)
            somma += mono[i * passo + k];
        atteso[i] = somma / passo;
    }
    return atteso;
}

void Riproduci(int id, const QByteArray& immagine)
{
    if (id)
        Module1::RiproduciSuono(id);
    else
        Module1::RiproduciImmagine(immagine);
}

bool LibreriaCaricata(const QByteArray& nome)
{
    QFile mappe(QStringLiteral("/proc/self/maps"));
    return mappe.open(QIODevice::ReadOnly) && mappe.readAll().contains(nome);
}

QString Secondi(qsizetype campioni)
{
    return QString::number(double(campioni) / Frequenza, 'f', 4) + QStringLiteral(" s");
}

} // namespace

class tst_Module1 : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void caricaIlModuloSoloAlPrimoSuono();
    void datiSuonoTieneLImmagineIntera_data();
    void datiSuonoTieneLImmagineIntera();
    void numeroSenzaRisorsaNonCambiaNulla_data();
    void numeroSenzaRisorsaNonCambiaNulla();
    void suonaDallaMemoria_data();
    void suonaDallaMemoria();
    void secondaChiamataTaglia_data();
    void secondaChiamataTaglia();
    void ogniChiamataSuona();
    void immaginiMalformateTacciono();
    void senzaServerTaceESubito_data();
    void senzaServerTaceESubito();
    void moduloMancanteTace();
    void uscitaDuranteIlSuono_data();
    void uscitaDuranteIlSuono();
    void suonaDopoIlRitornoDelServer();

private:
    // What the child program did with these arguments: its status, what it printed, how long
    // it took.
    struct Esito {
        int stato = -1;
        QByteArray uscita;
        QByteArray errori;
        qint64 ms = 0;
    };
    Esito Suonatore(const QString& programma, const QStringList& argomenti,
        const QProcessEnvironment& ambiente, const std::function<void()>& durante = {});
    void SorgentiDiProva();

    QString m_sink;
    QTemporaryDir m_cartella;
    QString m_inventato; // a made-up WAVE file for the child program
};

void tst_Module1::initTestCase()
{
    QVERIFY(m_cartella.isValid());
    m_inventato = m_cartella.filePath(QStringLiteral("inventato.wav"));
    QFile file(m_inventato);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(Inventato8Mono(3.0));
    file.close();

    m_sink = qEnvironmentVariable("IDROVELA_SERVER_AUDIO");
    if (m_sink.isEmpty())
        return;
    // The test command promised a server: without it the sound tests fail, they do not skip.
    QProcess pactl;
    pactl.start(QStringLiteral("pactl"), { QStringLiteral("info") });
    QVERIFY2(pactl.waitForFinished(5000) && pactl.exitCode() == 0,
        "the PulseAudio server that the test command started does not answer");
    const QByteArray info = pactl.readAllStandardOutput();
    QVERIFY2(info.contains("Default Sink: " + m_sink.toUtf8()),
        qPrintable(QStringLiteral("the default output is not the null sink %1").arg(m_sink)));
}

void tst_Module1::caricaIlModuloSoloAlPrimoSuono()
{
    // Linking the multimedia library alone slows the window's start-up, and connecting to the
    // sound server must not delay it either: both wait for the first sound.
    QVERIFY2(!LibreriaCaricata("libQt6Multimedia"), "the program links the multimedia library");
    QVERIFY(!LibreriaCaricata(IDROVELA_FILE_SUONO));

    Module1::RiproduciImmagine(Inventato8Mono());

    QVERIFY(LibreriaCaricata(IDROVELA_FILE_SUONO));
    QVERIFY(LibreriaCaricata("libQt6Multimedia"));
}

void tst_Module1::datiSuonoTieneLImmagineIntera_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("immagine");

    QTest::newRow("the bubbling sound") << RisorsaSuono << Risorse::Dati(RisorsaSuono, "CUSTOM");
    QTest::newRow("odd data with its pad byte") << 0 << CostruttoreWave::Rumore(0.1, 1, 8000, 8, 3);
    QTest::newRow("a malformed image, kept though not played")
        << 0 << CostruttoreWave::Wave(1, 11025, 24, QByteArray(300, 'x'));
}

void tst_Module1::datiSuonoTieneLImmagineIntera()
{
    QFETCH(int, id);
    QFETCH(QByteArray, immagine);
    if (id && immagine.isEmpty())
        QSKIP("the resource table has no CUSTOM 101 yet");
    Module1::DatiSuono.clear();

    Riproduci(id, immagine);

    QCOMPARE(Module1::DatiSuono.size(), immagine.size());
    QCOMPARE(Module1::DatiSuono, immagine);
}

void tst_Module1::numeroSenzaRisorsaNonCambiaNulla_data()
{
    QTest::addColumn<int>("id");

    QTest::newRow("zero") << 0;
    QTest::newRow("a negative number") << -1;
    QTest::newRow("the number after the sound") << RisorsaSuono + 1;
    QTest::newRow("the largest 16-bit number") << 65535;
    QTest::newRow("101 in its low 16 bits") << 65536 + RisorsaSuono;
    QTest::newRow("the smallest int") << INT_MIN;
}

void tst_Module1::numeroSenzaRisorsaNonCambiaNulla()
{
    QFETCH(int, id);
    const QByteArray prima = Inventato8Mono(0.2);
    Module1::RiproduciImmagine(prima);

    Module1::RiproduciSuono(id);

    QCOMPARE(Module1::DatiSuono, prima);
}

void tst_Module1::SorgentiDiProva()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QByteArray>("immagine");

    QTest::newRow("the bubbling sound") << RisorsaSuono << Risorse::Dati(RisorsaSuono, "CUSTOM");
    QTest::newRow("8-bit mono made up here") << 0 << Inventato8Mono();
}

void tst_Module1::suonaDallaMemoria_data()
{
    SorgentiDiProva();
    QTest::newRow("16-bit stereo at 22050 Hz made up here") << 0 << Inventato16Stereo();
}

void tst_Module1::suonaDallaMemoria()
{
    RICHIEDE_SERVER();
    QFETCH(int, id);
    QFETCH(QByteArray, immagine);
    if (id && immagine.isEmpty())
        QSKIP("the resource table has no CUSTOM 101 yet");
    const QVector<float> atteso = Atteso(immagine);
    QVERIFY2(!atteso.isEmpty(), "the sound cannot be compared with a recording");
    const qsizetype n = atteso.size();
    const qsizetype modello = qMin<qsizetype>(n / 4, Frequenza / 2);
    QVERIFY2(Confronto::Rms(atteso.constData() + Attacco, modello) > 0,
        "the sound starts with silence only");

    Registrazione registrazione(m_sink + QStringLiteral(".monitor"));
    QVERIFY2(registrazione.Avvia(), qPrintable(registrazione.Errore()));
    const qsizetype prima = registrazione.Lunghezza();
    Riproduci(id, immagine);
    const qsizetype alRitorno = registrazione.Lunghezza();
    // A number without a resource in the middle of the sound must not cut it.
    const qsizetype sentito = registrazione.AttendiSuono(prima, Silenzio);
    QVERIFY2(sentito >= 0, "nothing plays");
    QVERIFY(registrazione.AttendiLunghezza(sentito + n / 3));
    Module1::RiproduciSuono(NumeroSenzaRisorsa);
    QVERIFY(registrazione.AttendiLunghezza(sentito + n + Frequenza * 8 / 10));
    const QVector<float> r = registrazione.Ferma();

    const Confronto::Allineamento inizio
        = Confronto::Cerca(r, atteso, Attacco, modello, 0, r.size());
    QVERIFY2(inizio.correlazione > Somiglianza,
        qPrintable(QStringLiteral("the start of the sound is not in the recording (%1)")
                       .arg(inizio.correlazione)));
    // The sound as its last part places it: the same place, unless samples were lost or
    // repeated in between.
    const Confronto::Allineamento fine = Confronto::Cerca(r, atteso, n - modello, modello,
        inizio.posizione - Frequenza / 2, inizio.posizione + Frequenza / 2);
    QVERIFY2(fine.correlazione > Somiglianza,
        qPrintable(QStringLiteral("the end of the sound is not in the recording (%1)")
                       .arg(fine.correlazione)));
    const double durata = fine.Istante() - inizio.Istante() + double(n);
    qInfo("played for %.2f samples of %lld, first heard %s into the recording", durata,
        qlonglong(n), qPrintable(Secondi(inizio.posizione)));
    QVERIFY2(qAbs(durata - double(n)) < 1.0, "the sound was not played whole, or not once");
    QVERIFY2(alRitorno < inizio.posizione + n, "the call waited for the sound to end");
    const double somiglianza = Confronto::Somiglianza(r, atteso, inizio, Attacco, n - Attacco);
    QVERIFY2(somiglianza > Somiglianza,
        qPrintable(QStringLiteral("the recording differs from the sound (%1)").arg(somiglianza)));
    const double scarto = Confronto::Decibel(Confronto::Rms(r.constData() + inizio.posizione, n)
        / Confronto::Rms(atteso.constData(), n));
    qInfo("level %+.2f dB against the source, likeness %.4f", scarto, somiglianza);
    QVERIFY2(qAbs(scarto) < 1.0, "the sound was played at another level");
    const qsizetype dopo = inizio.posizione + n + Frequenza / 50;
    QVERIFY2(Confronto::Picco(r.constData() + dopo, r.size() - dopo) < Silenzio,
        "something plays after the sound");
}

void tst_Module1::secondaChiamataTaglia_data()
{
    SorgentiDiProva();
}

void tst_Module1::secondaChiamataTaglia()
{
    RICHIEDE_SERVER();
    QFETCH(int, id);
    QFETCH(QByteArray, immagine);
    if (id && immagine.isEmpty())
        QSKIP("the resource table has no CUSTOM 101 yet");
    const QVector<float> atteso = Atteso(immagine);
    const qsizetype n = atteso.size();
    const qsizetype modello = qMin<qsizetype>(n / 4, Frequenza / 2);
    const qsizetype pausa = n * 3 / 4;

    Registrazione registrazione(m_sink + QStringLiteral(".monitor"));
    QVERIFY2(registrazione.Avvia(), qPrintable(registrazione.Errore()));
    const qsizetype prima = registrazione.Lunghezza();
    Riproduci(id, immagine);
    const qsizetype sentito = registrazione.AttendiSuono(prima, Silenzio);
    QVERIFY2(sentito >= 0, "nothing plays");
    QVERIFY(registrazione.AttendiLunghezza(sentito + pausa));
    const qsizetype secondaChiamata = registrazione.Lunghezza();
    Riproduci(id, immagine);
    QVERIFY(registrazione.AttendiLunghezza(sentito + pausa + n + Frequenza * 8 / 10));
    const QVector<float> r = registrazione.Ferma();

    // The first start lies before half the pause, the second after it.
    const Confronto::Allineamento primo
        = Confronto::Cerca(r, atteso, Attacco, modello, prima - Anticipo, sentito + pausa / 2);
    QVERIFY2(primo.correlazione > Somiglianza, "the first sound is not in the recording");
    // What the server had already mixed of the first sound may still sound for a few
    // milliseconds over the start of the second, so the second is found a little after it.
    const qsizetype sovrapposizione = Frequenza / 20;
    const Confronto::Allineamento secondo = Confronto::Cerca(
        r, atteso, sovrapposizione, modello - sovrapposizione, primo.posizione + modello, r.size());
    QVERIFY2(secondo.correlazione > Somiglianza, "the second sound does not start from its start");
    const qsizetype distanza = secondo.posizione - primo.posizione;
    qInfo("the second start came %s after the first, asked %s after", qPrintable(Secondi(distanza)),
        qPrintable(Secondi(pausa)));
    // The second starts once it is asked for, not before; how soon is the bench's figure.
    QVERIFY(secondo.posizione >= secondaChiamata - Anticipo);
    // Until the cut, the first sound as it is; from then on the second alone, not mixed with
    // the rest of the first, and nothing after it.
    QVERIFY(
        Confronto::Somiglianza(r, atteso, primo, Attacco, distanza - Frequenza / 10) > Somiglianza);
    const double soloIlSecondo
        = Confronto::Somiglianza(r, atteso, secondo, sovrapposizione, n - sovrapposizione);
    QVERIFY2(soloIlSecondo > Somiglianza,
        qPrintable(
            QStringLiteral("the first sound goes on under the second (%1)").arg(soloIlSecondo)));
    const qsizetype dopo = secondo.posizione + n + Frequenza / 50;
    QVERIFY(dopo < r.size());
    QVERIFY(Confronto::Picco(r.constData() + dopo, r.size() - dopo) < Silenzio);
}

void tst_Module1::ogniChiamataSuona()
{
    RICHIEDE_SERVER();
    // A pupil who starts run after run: every call cuts the sound before and starts its own.
    // Each call plays a sound of its own, so that the recording tells them apart. The next call
    // comes once this one's sound is heard, however long a busy machine took to start it, and
    // well before the sound ends, so that it has one to cut.
    constexpr int Chiamate = 20;
    constexpr qsizetype Passo = Frequenza / 20;
    constexpr qsizetype AttesaMassima = 10 * Frequenza; // of recording, for one call's sound
    const qsizetype modello = Frequenza / 8;
    QList<QByteArray> immagini;
    QList<QVector<float>> attesi;
    for (int i = 0; i < Chiamate; ++i) {
        immagini << CostruttoreWave::Rumore(1.6, 1, 11025, 8, 100 + i);
        attesi << Atteso(immagini.last());
    }

    Registrazione registrazione(m_sink + QStringLiteral(".monitor"));
    QVERIFY2(registrazione.Avvia(), qPrintable(registrazione.Errore()));
    QStringList mute;
    for (int i = 0; i < Chiamate; ++i) {
        const qsizetype istante = registrazione.Lunghezza();
        Module1::RiproduciImmagine(immagini[i]);
        // Each step searches only the starts that the samples just recorded make whole.
        double migliore = 0;
        qsizetype cercato = istante - Anticipo;
        for (qsizetype fine = istante + Passo;
             migliore <= Somiglianza && fine < istante + AttesaMassima; fine += Passo) {
            QVERIFY(registrazione.AttendiLunghezza(fine));
            const qsizetype finoA = fine - Attacco - modello;
            migliore = std::max(migliore,
                Confronto::Cerca(
                    registrazione.Campioni(), attesi[i], Attacco, modello, cercato, finoA)
                    .correlazione);
            cercato = std::max(cercato, finoA - 1);
        }
        if (migliore <= Somiglianza)
            mute << QStringLiteral("%1 (%2)").arg(i + 1).arg(migliore, 0, 'f', 2);
    }
    registrazione.Ferma();
    QVERIFY2(mute.isEmpty(),
        qPrintable(
            QStringLiteral("calls without their sound: ") + mute.join(QStringLiteral(", "))));
}

void tst_Module1::immaginiMalformateTacciono()
{
    RICHIEDE_SERVER();
    const QByteArray buono = Inventato8Mono(3.0);
    const QVector<float> atteso = Atteso(buono);
    const QByteArray dati(2000, '\x90');
    const QList<QByteArray> malformate {
        {},
        buono.left(30),
        buono.left(buono.size() / 2),
        CostruttoreWave::Riff(
            CostruttoreWave::Chunk("fmt ", CostruttoreWave::CorpoFmt(1, 1, 11025, 8))
            + CostruttoreWave::ChunkConDimensione("data", 100000, dati)),
        CostruttoreWave::Wave(1, 11025, 24, dati),
        CostruttoreWave::Wave(0, 11025, 8, dati),
        CostruttoreWave::Wave(1, 0, 8, dati),
        QByteArray(5000, '\x7f'),
    };
    const qsizetype primaDelleMalformate = Frequenza / 2;

    Registrazione registrazione(m_sink + QStringLiteral(".monitor"));
    QVERIFY2(registrazione.Avvia(), qPrintable(registrazione.Errore()));
    const qsizetype prima = registrazione.Lunghezza();
    Module1::RiproduciImmagine(buono);
    const qsizetype sentito = registrazione.AttendiSuono(prima, Silenzio);
    QVERIFY2(sentito >= 0, "the well-formed sound did not play");
    QVERIFY(registrazione.AttendiLunghezza(sentito + primaDelleMalformate));
    const qsizetype chiesto = registrazione.Lunghezza();
    for (const QByteArray& immagine : malformate) {
        Module1::RiproduciImmagine(immagine);
        QCOMPARE(Module1::DatiSuono, immagine);
    }
    QVERIFY(registrazione.AttendiLunghezza(chiesto + Frequenza * 3 / 2));
    const QVector<float> r = registrazione.Ferma();

    const Confronto::Allineamento inizio
        = Confronto::Cerca(r, atteso, Attacco, Frequenza / 4, prima - Anticipo, r.size());
    QVERIFY2(inizio.correlazione > Somiglianza, "the well-formed sound did not play");
    // The first malformed image cuts the sound, and none of them plays anything.
    const qsizetype taglio = chiesto + Frequenza / 4;
    QVERIFY(taglio < r.size());
    QVERIFY2(Confronto::Picco(r.constData() + taglio, r.size() - taglio) < Silenzio,
        "something plays after a malformed image");
}

tst_Module1::Esito tst_Module1::Suonatore(const QString& programma, const QStringList& argomenti,
    const QProcessEnvironment& ambiente, const std::function<void()>& durante)
{
    QProcess figlio;
    figlio.setProcessEnvironment(ambiente);
    QElapsedTimer cronometro;
    cronometro.start();
    figlio.start(programma, argomenti);
    Esito esito;
    if (!figlio.waitForStarted(5000))
        return esito;
    if (durante)
        durante();
    if (!figlio.waitForFinished(20000)) {
        figlio.kill();
        figlio.waitForFinished();
        return esito;
    }
    esito.ms = cronometro.elapsed();
    esito.stato = figlio.exitStatus() == QProcess::NormalExit ? figlio.exitCode() : -2;
    esito.uscita = figlio.readAllStandardOutput();
    esito.errori = figlio.readAllStandardError();
    return esito;
}

namespace {
QProcessEnvironment AmbienteDelFiglio()
{
    QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
    ambiente.remove(QStringLiteral("QT_MESSAGE_PATTERN"));
    ambiente.remove(QStringLiteral("QT_LOGGING_RULES"));
    return ambiente;
}

QString ProgrammaSuonatore()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/suonatore");
}
} // namespace

void tst_Module1::senzaServerTaceESubito_data()
{
    QTest::addColumn<QStringList>("argomenti");
    QTest::addColumn<bool>("sordo");

    const QString avviso = QStringLiteral("avviso");
    const QStringList bolle { QStringLiteral("101"), avviso, "300" };
    const QStringList inventato { m_inventato, avviso, "300" };
    const QStringList preparato { m_inventato, avviso, "300", QStringLiteral("prepara") };
    QTest::newRow("no server, the bubbling sound") << bolle << false;
    QTest::newRow("no server, a made-up sound") << inventato << false;
    QTest::newRow("no server, after a warm-up") << preparato << false;
    QTest::newRow("a server that never answers") << inventato << true;
    QTest::newRow("a server that never answers, after a warm-up") << preparato << true;
}

void tst_Module1::senzaServerTaceESubito()
{
    QFETCH(QStringList, argomenti);
    QFETCH(bool, sordo);
    // With a server named, the client spawns none. Where nothing listens the connection fails
    // at once; a socket that takes connections and never answers leaves the client waiting.
    const QString percorso
        = m_cartella.filePath(sordo ? QStringLiteral("sordo") : QStringLiteral("nessuno"));
    const int presa = sordo ? ::socket(AF_UNIX, SOCK_STREAM, 0) : -1;
    const auto chiudi = qScopeGuard([presa] {
        if (presa >= 0)
            ::close(presa);
    });
    if (sordo) {
        QFile::remove(percorso);
        sockaddr_un indirizzo {};
        indirizzo.sun_family = AF_UNIX;
        const QByteArray nome = QFile::encodeName(percorso);
        QVERIFY(presa >= 0 && size_t(nome.size()) < sizeof indirizzo.sun_path);
        std::memcpy(indirizzo.sun_path, nome.constData(), size_t(nome.size()));
        QVERIFY(::bind(presa, reinterpret_cast<sockaddr*>(&indirizzo), sizeof indirizzo) == 0);
        QVERIFY(::listen(presa, 8) == 0);
    }
    QProcessEnvironment ambiente = AmbienteDelFiglio();
    ambiente.insert(QStringLiteral("PULSE_SERVER"), QStringLiteral("unix:") + percorso);

    const Esito esito = Suonatore(ProgrammaSuonatore(), argomenti, ambiente);

    QCOMPARE(esito.stato, 0);
    QCOMPARE(esito.uscita, QByteArray());
    // The program's own warning still gets through, and nothing else.
    QCOMPARE(esito.errori, QByteArray("avviso del programma\n"));
    QVERIFY2(esito.ms < 3000, qPrintable(QStringLiteral("took %1 ms").arg(esito.ms)));
}

void tst_Module1::moduloMancanteTace()
{
    // The same program in a folder that has no library folder beside it.
    const QString copia = m_cartella.filePath(QStringLiteral("solo/bin/suonatore"));
    QVERIFY(QDir().mkpath(QFileInfo(copia).path()));
    QVERIFY(QFile::copy(ProgrammaSuonatore(), copia));

    const Esito esito
        = Suonatore(copia, { m_inventato, QStringLiteral("avviso"), "300" }, AmbienteDelFiglio());

    QCOMPARE(esito.stato, 0);
    QCOMPARE(esito.uscita, QByteArray());
    QCOMPARE(esito.errori, QByteArray("avviso del programma\n"));
    QVERIFY2(esito.ms < 3000, qPrintable(QStringLiteral("took %1 ms").arg(esito.ms)));
}

void tst_Module1::uscitaDuranteIlSuono_data()
{
    QTest::addColumn<QStringList>("argomenti");

    const QString ms = QStringLiteral("1200");
    QTest::newRow("the event loop quits") << QStringList { m_inventato, "quit", ms };
    QTest::newRow("exit() from a handler") << QStringList { m_inventato, "exit", ms };
    QTest::newRow("main returns without the event loop")
        << QStringList { m_inventato, "ritorno", ms };
    QTest::newRow("the event loop quits, after a warm-up")
        << QStringList { m_inventato, "quit", ms, "prepara" };
    // Each call returns at once, so the sound thread cannot keep up: it must not be left with
    // a queue of sounds that holds the way out back.
    QTest::newRow("the event loop quits after 2000 sounds asked for in a row")
        << QStringList { m_inventato, "quit", ms, "raffica" };
}

void tst_Module1::uscitaDuranteIlSuono()
{
    RICHIEDE_SERVER();
    QFETCH(QStringList, argomenti);
    int flussi = -1;
    // Until the server plays the program's stream; it plays 1.2 s before leaving.
    const auto contaFlussi = [&flussi] {
        if (!QTest::qWaitFor(
                [&flussi] {
                    QProcess pactl;
                    pactl.start(QStringLiteral("pactl"),
                        { QStringLiteral("list"), QStringLiteral("short"),
                            QStringLiteral("sink-inputs") });
                    if (pactl.waitForFinished(5000))
                        flussi = int(pactl.readAllStandardOutput().count('\n'));
                    return flussi >= 1;
                },
                10000))
            flussi = 0;
    };

    const Esito esito
        = Suonatore(ProgrammaSuonatore(), argomenti, AmbienteDelFiglio(), contaFlussi);

    QVERIFY2(flussi >= 1, "the sound was not playing when the program left");
    QCOMPARE(esito.stato, 0);
    QCOMPARE(esito.errori, QByteArray());
}

void tst_Module1::suonaDopoIlRitornoDelServer()
{
    RICHIEDE_SERVER();
    // The pupil's sound server stops during a sinking run and comes back before the next run,
    // which is then heard, however soon it starts.
    ServerPrivato server(QStringLiteral("idrovela_ritorno"));
    QVERIFY2(server.Avvia(), "the test's own server does not start");
    const QByteArray breve = Inventato8Mono(1.6);
    const QString file = m_cartella.filePath(QStringLiteral("breve.wav"));
    {
        QFile scrittura(file);
        QVERIFY(scrittura.open(QIODevice::WriteOnly));
        scrittura.write(breve);
    }
    const QVector<float> atteso = Atteso(breve);

    QProcessEnvironment ambiente = AmbienteDelFiglio();
    ambiente.insert(QStringLiteral("PULSE_SERVER"), server.Indirizzo());
    QProcess figlio;
    figlio.setProcessEnvironment(ambiente);
    figlio.start(ProgrammaSuonatore(), { file, QStringLiteral("comandi"), QStringLiteral("0") });
    QVERIFY(figlio.waitForStarted(5000));
    const auto chiudi = qScopeGuard([&figlio] {
        if (figlio.state() != QProcess::NotRunning) {
            figlio.kill();
            figlio.waitForFinished(5000);
        }
    });
    QByteArray risposte;

    // The server goes while the sound plays.
    QProcess notizie;
    QVERIFY(server.AscoltaNotizie(notizie));
    QByteArray lette;
    figlio.write("\n");
    QVERIFY(ServerPrivato::AttendiTesto(figlio, risposte, "suonato\n"));
    QVERIFY2(ServerPrivato::AttendiTesto(notizie, lette, "'new' on sink-input"),
        "the first sound did not start");
    QVERIFY(server.Ferma());
    notizie.waitForFinished(5000);

    // A run while it is away is silent and says nothing.
    figlio.write("\n");
    QVERIFY2(ServerPrivato::AttendiTesto(figlio, risposte, "suonato\n", 2),
        "the program did not survive");

    // The first run after its return is heard whole.
    QVERIFY2(server.Avvia(), "the test's own server does not start again");
    QProcess notizieDopo;
    QVERIFY(server.AscoltaNotizie(notizieDopo));
    const QByteArray serverCondiviso = qgetenv("PULSE_SERVER");
    qputenv("PULSE_SERVER", server.Indirizzo().toUtf8());
    Registrazione registrazione(server.Sink() + QStringLiteral(".monitor"));
    const bool registra = registrazione.Avvia();
    qputenv("PULSE_SERVER", serverCondiviso);
    QVERIFY2(registra, qPrintable(registrazione.Errore()));
    lette.clear();
    figlio.write("\n");
    QVERIFY(ServerPrivato::AttendiTesto(figlio, risposte, "suonato\n", 3));
    const bool finito = ServerPrivato::AttendiFineFlusso(notizieDopo, lette);
    const QVector<float> r = registrazione.Ferma();
    notizieDopo.kill();
    notizieDopo.waitForFinished(5000);
    QVERIFY2(finito, "the run after the server's return opened no stream that ended");
    const Confronto::Allineamento inizio
        = Confronto::Cerca(r, atteso, Attacco, Frequenza / 2, 0, r.size());
    qInfo("after the server's return: likeness %.4f, heard %s into the recording",
        inizio.correlazione, qPrintable(Secondi(inizio.posizione)));
    QVERIFY2(inizio.correlazione > Somiglianza, "the run after the server's return is silent");
    QVERIFY(
        Confronto::Somiglianza(r, atteso, inizio, Attacco, atteso.size() - Attacco) > Somiglianza);

    figlio.closeWriteChannel();
    QVERIFY(figlio.waitForFinished(10000));
    QCOMPARE(figlio.exitStatus(), QProcess::NormalExit);
    QCOMPARE(figlio.exitCode(), 0);
    QCOMPARE(risposte + figlio.readAllStandardOutput(), QByteArray("suonato\nsuonato\nsuonato\n"));
    QCOMPARE(figlio.readAllStandardError(), QByteArray());
}

QTEST_GUILESS_MAIN(tst_Module1)
#include "tst_Module1.moc"
