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

#include "Confronto.h"
#include "LettoreWave.h"
#include "Module1.h"
#include "Registrazione.h"
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

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int Frequenza = Registrazione::Frequenza;

qint64 Adesso()
{
    return Registrazione::Adesso();
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

// Where the sound's first sample lies in the recording, judged by its samples from 25 ms to
// 0.3 s (the monitor of a null sink misses the first milliseconds of a stream). -1 if absent.
qsizetype Inizio(const QVector<float>& registrazione, const QVector<float>& suono)
{
    const Confronto::Allineamento a = Confronto::Cerca(
        registrazione, suono, Frequenza / 40, Frequenza * 3 / 10, 0, registrazione.size());
    return a.correlazione > 0.9 ? a.posizione : -1;
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

QVector<float> Suono()
{
    const QByteArray immagine = Risorse::Dati(101, "CUSTOM");
    const std::optional<LettoreWave::Campioni> c
        = LettoreWave::Leggi(immagine.constData(), immagine.size());
    if (!c || c->bit != 8 || c->canali != 1 || c->frequenza != Frequenza)
        return {};
    return Confronto::Mono(immagine, *c);
}

// The delay from the call to the sound's first sample, from what was recorded since.
double Ritardo(
    const Registrazione& registratore, qsizetype da, qint64 chiamata, const QVector<float>& suono)
{
    // The null sink mixes ahead of time and hands that to the monitor at once, so the start
    // may come in a little before the call returns: the search begins 0.1 s earlier.
    const qsizetype prima = qMin<qsizetype>(da, Frequenza / 10);
    const QVector<float> campioni = registratore.Campioni(da - prima);
    const QVector<qint64> arrivi = registratore.Arrivi(da - prima);
    const qsizetype p = Inizio(campioni, suono);
    if (p < 0 || p >= arrivi.size())
        return std::nan("");
    // A block arrives when its last sample is ready: the first sample of the sound was ready
    // as many samples earlier as follow it in its block.
    qsizetype fineBlocco = p;
    while (fineBlocco + 1 < arrivi.size() && arrivi[fineBlocco + 1] == arrivi[p])
        ++fineBlocco;
    const qint64 pronto = arrivi[p] - (fineBlocco - p) * 1000000000LL / Frequenza;
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
    const QVector<float> suono = Suono();
    if (sink.isEmpty() || suono.empty() || chiamate < 1 || freschi < 1) {
        std::fprintf(stderr,
            "needs the sound CUSTOM 101 (8-bit mono 11025 Hz) and the server of "
            "tools/with-sound-server.sh; usage: %s [calls [fresh processes]]\n",
            qPrintable(argomenti.at(0)));
        return 2;
    }

    Registrazione registratore(sink + QStringLiteral(".monitor"));
    if (!registratore.Avvia()) {
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
