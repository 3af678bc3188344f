// SPDX-License-Identifier: GPL-3.0-or-later
// Measures how fast RiproduciSuono(101) returns and how soon its sound reaches the sound
// server. Run it next to the private server of tools/with-sound-server.sh:
//
//   tools/with-sound-server.sh build/bin/idrovela-bench-suono [calls [fresh processes]]
//
// It records the null sink's monitor with parec and times, on one monotonic clock:
// - the return of RiproduciSuono, for the first call of a fresh process (module not yet
//   loaded), for the first call after Module1::Prepara, and for many calls in one process;
// - the delay from the call to the sound's first sample in the monitor, found by lining the
//   recording up with the sound's own samples; each sample is timed by when parec delivered
//   it, so the figure includes the recording's own delay (a few milliseconds).
// The last line of its output is one line of JSON with every figure.

#include "LettoreWave.h"
#include "Module1.h"
#include "Risorse.h"
#include "Statistica.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>
#include <vector>

namespace {

constexpr int Frequenza = 11025;
constexpr int Blocco = 64; // samples parec hands over at a time, about 6 ms

qint64 Adesso()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

double Ms(qint64 ns)
{
    return double(ns) / 1e6;
}

void Attendi(int ms)
{
    QEventLoop attesa;
    QTimer::singleShot(ms, &attesa, &QEventLoop::quit);
    attesa.exec();
}

// The monitor, recorded as it comes, each block with the time it arrived.
class Registratore {
public:
    bool Avvia(const QString& monitor)
    {
        const QByteArray comando = "exec parec --raw --device=" + monitor.toUtf8()
            + " --format=s16le --rate=11025 --channels=1 --latency-msec=5 --process-time-msec=2"
              " 2>/dev/null";
        m_tubo = popen(comando.constData(), "r");
        if (!m_tubo)
            return false;
        m_lettore = std::thread([this] { Leggi(); });
        return true;
    }

    void Ferma()
    {
        m_fine = true;
        if (m_tubo)
            pclose(m_tubo); // parec ends when its pipe closes; the reader sees the end
        if (m_lettore.joinable())
            m_lettore.join();
        m_tubo = nullptr;
    }

    // Samples from the given one on, and the arrival times of their blocks.
    struct Tratto {
        std::vector<float> campioni;
        std::vector<qint64> arrivi; // one per sample: when its block came in
    };

    // A sink that was idle first hands over its samples in one long block; the times of
    // arrival mean something only once they come as fast as they are played.
    bool Costante()
    {
        for (int prova = 0; prova < 50; ++prova) {
            const qsizetype prima = Lunghezza();
            Attendi(200);
            if (Lunghezza() - prima >= Frequenza / 5 * 9 / 10)
                return true;
        }
        return false;
    }

    qsizetype Lunghezza()
    {
        const std::lock_guard blocco(m_mutex);
        return qsizetype(m_campioni.size());
    }

    Tratto Da(qsizetype inizio)
    {
        const std::lock_guard blocco(m_mutex);
        Tratto t;
        t.campioni.assign(m_campioni.begin() + inizio, m_campioni.end());
        t.arrivi.assign(m_arrivi.begin() + inizio, m_arrivi.end());
        return t;
    }

private:
    void Leggi()
    {
        qint16 dati[Blocco];
        while (!m_fine) {
            const size_t letti = fread(dati, sizeof(qint16), Blocco, m_tubo);
            const qint64 arrivo = Adesso();
            if (letti == 0)
                break;
            const std::lock_guard blocco(m_mutex);
            for (size_t i = 0; i < letti; ++i) {
                m_campioni.push_back(qFromLittleEndian(dati[i]) / 32768.0f);
                m_arrivi.push_back(arrivo);
            }
        }
    }

    FILE* m_tubo = nullptr;
    std::thread m_lettore;
    std::atomic<bool> m_fine { false };
    std::mutex m_mutex;
    std::vector<float> m_campioni;
    std::vector<qint64> m_arrivi;
};

double Correlazione(const float* x, const float* y, qsizetype n)
{
    double xy = 0, xx = 0, yy = 0;
    for (qsizetype i = 0; i < n; ++i) {
        xy += double(x[i]) * y[i];
        xx += double(x[i]) * x[i];
        yy += double(y[i]) * y[i];
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
}

// Where the sound's first sample lies in the recording, judged by its samples from 25 ms to
// 0.3 s (the monitor of a null sink misses the first milliseconds of a stream). -1 if absent.
qsizetype Inizio(const std::vector<float>& registrazione, const std::vector<float>& suono)
{
    const qsizetype da = Frequenza / 40;
    const qsizetype n = Frequenza * 3 / 10;
    double migliore = 0.9;
    qsizetype posizione = -1;
    for (qsizetype p = 0; p + da + n <= qsizetype(registrazione.size()); ++p) {
        const double c = Correlazione(registrazione.data() + p + da, suono.data() + da, n);
        if (c > migliore) {
            migliore = c;
            posizione = p;
        }
    }
    return posizione;
}

// One fresh process, one call: prints the time of the call and how long it took.
// With prepara, also how long Prepara took to return and the longest the event loop then
// stood still while the module loaded and the server was reached (a 1 ms timer's worst delay).
int UnaChiamata(bool prepara)
{
    qint64 preparaNs = 0;
    qint64 fermoNs = 0;
    if (prepara) {
        const qint64 inizio = Adesso();
        Module1::Prepara();
        preparaNs = Adesso() - inizio;
        QTimer battito;
        battito.setTimerType(Qt::PreciseTimer);
        qint64 ultimo = Adesso();
        QObject::connect(&battito, &QTimer::timeout, [&] {
            const qint64 ora = Adesso();
            fermoNs = std::max(fermoNs, ora - ultimo - 1000000);
            ultimo = ora;
        });
        battito.start(1);
        Attendi(1000);
    }
    const qint64 prima = Adesso();
    Module1::RiproduciSuono(101);
    const qint64 dopo = Adesso();
    std::printf("%lld %lld %lld %lld\n", qlonglong(prima), qlonglong(dopo - prima),
        qlonglong(preparaNs), qlonglong(fermoNs));
    std::fflush(stdout);
    Attendi(1500);
    return 0;
}

std::vector<float> Suono()
{
    const QByteArray immagine = Risorse::Dati(101, "CUSTOM");
    const std::optional<LettoreWave::Campioni> c
        = LettoreWave::Leggi(immagine.constData(), immagine.size());
    std::vector<float> suono;
    if (!c || c->bit != 8 || c->canali != 1 || c->frequenza != Frequenza)
        return suono;
    for (qsizetype i = 0; i < c->lunghezza; ++i)
        suono.push_back((quint8(immagine[c->inizio + i]) - 128) / 128.0f);
    return suono;
}

// The delay from the call to the sound's first sample, from what was recorded since.
double Ritardo(
    Registratore& registratore, qsizetype da, qint64 chiamata, const std::vector<float>& suono)
{
    // The null sink mixes ahead of time and hands that to the monitor at once, so the start
    // may come in a little before the call returns: the search begins 0.1 s earlier.
    const qsizetype prima = qMin<qsizetype>(da, Frequenza / 10);
    const Registratore::Tratto t = registratore.Da(da - prima);
    const qsizetype p = Inizio(t.campioni, suono);
    if (p < 0)
        return std::nan("");
    // A block arrives when its last sample is ready: the first sample of the sound was ready
    // as many samples earlier as follow it in its block.
    qsizetype fineBlocco = p;
    while (fineBlocco + 1 < qsizetype(t.arrivi.size()) && t.arrivi[fineBlocco + 1] == t.arrivi[p])
        ++fineBlocco;
    const qint64 pronto = t.arrivi[p] - (fineBlocco - p) * 1000000000LL / Frequenza;
    return Ms(pronto - chiamata);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList argomenti = app.arguments();
    if (argomenti.size() >= 2 && argomenti.at(1) == QLatin1String("--una"))
        return UnaChiamata(argomenti.size() >= 3 && argomenti.at(2) == QLatin1String("prepara"));

    const int chiamate = argomenti.size() >= 2 ? argomenti.at(1).toInt() : 40;
    const int freschi = argomenti.size() >= 3 ? argomenti.at(2).toInt() : 10;
    const QString sink = qEnvironmentVariable("IDROVELA_SERVER_AUDIO");
    const std::vector<float> suono = Suono();
    if (sink.isEmpty() || suono.empty() || chiamate < 1 || freschi < 1) {
        std::fprintf(stderr,
            "needs the sound CUSTOM 101 (8-bit mono 11025 Hz) and the server of "
            "tools/with-sound-server.sh; usage: %s [calls [fresh processes]]\n",
            qPrintable(argomenti.at(0)));
        return 2;
    }

    Registratore registratore;
    if (!registratore.Avvia(sink + QStringLiteral(".monitor")) || !registratore.Costante()) {
        std::fprintf(stderr, "parec does not record the monitor of %s\n", qPrintable(sink));
        return 1;
    }

    Statistica preparaRitorno, preparaFermo;
    const auto Fresco = [&](bool prepara, Statistica& ritorno, Statistica& ritardo) {
        QProcess figlio;
        const qsizetype da = registratore.Lunghezza();
        QStringList a { QStringLiteral("--una") };
        if (prepara)
            a << QStringLiteral("prepara");
        figlio.start(QCoreApplication::applicationFilePath(), a);
        figlio.waitForFinished(10000);
        const QList<QByteArray> campi = figlio.readAllStandardOutput().trimmed().split(' ');
        if (campi.size() != 4)
            return;
        if (prepara) {
            preparaRitorno.Aggiungi(Ms(campi.at(2).toLongLong()));
            preparaFermo.Aggiungi(Ms(campi.at(3).toLongLong()));
        }
        ritorno.Aggiungi(Ms(campi.at(1).toLongLong()));
        ritardo.Aggiungi(Ritardo(registratore, da, campi.at(0).toLongLong(), suono));
    };

    Statistica primoRitorno, primoRitardo, preparatoRitorno, preparatoRitardo;
    for (int i = 0; i < freschi; ++i) {
        Fresco(false, primoRitorno, primoRitardo);
        Fresco(true, preparatoRitorno, preparatoRitardo);
    }

    // Many calls in one process, each cutting the one before.
    Statistica ritorno, ritardo;
    Module1::RiproduciImmagine({}); // loads the module; plays nothing
    Attendi(500);
    for (int i = 0; i < chiamate; ++i) {
        const qsizetype da = registratore.Lunghezza();
        const qint64 prima = Adesso();
        Module1::RiproduciSuono(101);
        const qint64 dopo = Adesso();
        ritorno.Aggiungi(Ms(dopo - prima));
        Attendi(700);
        ritardo.Aggiungi(Ritardo(registratore, da, prima, suono));
    }
    Module1::Chiudi();
    registratore.Ferma();

    const auto Riga = [](const char* nome, const Statistica& s) {
        std::printf("%-44s median %7.3f ms  p90 %7.3f ms  min %7.3f  max %7.3f  (n=%d, %d lost)\n",
            nome, s.Quantile(0.5), s.Quantile(0.9), s.Quantile(0), s.Quantile(1), s.Numero(),
            s.Mancati());
    };
    Riga("RiproduciSuono returns, first call", primoRitorno);
    Riga("RiproduciSuono returns, first after Prepara", preparatoRitorno);
    Riga("RiproduciSuono returns, later calls", ritorno);
    Riga("Prepara returns", preparaRitorno);
    Riga("event loop held up after Prepara, worst", preparaFermo);
    Riga("call to sound in the monitor, first call", primoRitardo);
    Riga("call to sound in the monitor, after Prepara", preparatoRitardo);
    Riga("call to sound in the monitor, later calls", ritardo);

    const QJsonObject json {
        { "bench", "suono" },
        { "ritorno_ms", ritorno.Json() },
        { "ritorno_primo_ms", primoRitorno.Json() },
        { "ritorno_primo_preparato_ms", preparatoRitorno.Json() },
        { "ritardo_ms", ritardo.Json() },
        { "ritardo_primo_ms", primoRitardo.Json() },
        { "ritardo_primo_preparato_ms", preparatoRitardo.Json() },
        { "prepara_ms", preparaRitorno.Json() },
        { "prepara_fermo_ms", preparaFermo.Json() },
    };
    std::printf("%s\n", QJsonDocument(json).toJson(QJsonDocument::Compact).constData());
    return 0;
}
