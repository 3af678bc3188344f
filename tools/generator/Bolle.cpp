// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bolle.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

constexpr int Frequenza = 11025; // samples per second
constexpr int NumeroCampioni = 40215; // 3.648 s
constexpr double FondoScala = 127.0; // the largest deviation from silence
constexpr double RmsDecibel = -20.7; // root mean square level, relative to FondoScala
constexpr double Pi = 3.14159265358979323846;
constexpr double Fine = static_cast<double>(NumeroCampioni) / Frequenza; // s

using Segnale = std::vector<double>;

int Indice(double secondi)
{
    return static_cast<int>(std::floor(secondi * Frequenza + 0.5));
}

// splitmix64: a few lines that give the same numbers on every platform and library, which
// the standard distributions do not promise.
double Casuale(quint64& stato)
{
    stato += 0x9E3779B97F4A7C15ull;
    quint64 z = stato;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / 9007199254740992.0; // [0, 1)
}

struct Biquad {
    double b0 = 1.0;
    double b1 = 0.0;
    double b2 = 0.0;
    double a1 = 0.0;
    double a2 = 0.0;
};

// Butterworth sections after the audio cookbook formulas.
Biquad Sezione(double taglio, bool passaAlto)
{
    const double w = 2.0 * Pi * taglio / Frequenza;
    const double alfa = std::sin(w) / (2.0 * std::sqrt(0.5));
    const double c = std::cos(w);
    const double a0 = 1.0 + alfa;
    const double b = passaAlto ? (1.0 + c) / 2.0 : (1.0 - c) / 2.0;
    const double b1 = passaAlto ? -(1.0 + c) : 1.0 - c;
    return { b / a0, b1 / a0, b / a0, -2.0 * c / a0, (1.0 - alfa) / a0 };
}

void Filtra(Segnale& segnale, const Biquad& f)
{
    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    for (double& x : segnale) {
        const double y = f.b0 * x + f.b1 * x1 + f.b2 * x2 - f.a1 * y1 - f.a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        x = y;
    }
}

// Broken water hisses over a wide band, but what carries in a tank is its middle; fourth
// order on both sides keeps the rumble and the hiss out.
void FiltraBanda(Segnale& segnale)
{
    for (int i = 0; i < 2; ++i) {
        Filtra(segnale, Sezione(280.0, true));
        Filtra(segnale, Sezione(1200.0, false));
    }
}

// A bubble rings at its Minnaert resonance, about 3.26 kHz mm over its radius, damped by
// radiation, viscosity and heat conduction, and its pitch climbs a little as it rises to the
// surface. It starts at zero phase so that it adds no click of its own.
void AggiungiBolla(Segnale& segnale, double inizio, double raggioMm, double ampiezza)
{
    const double f0 = 3260.0 / raggioMm;
    const double smorzamento = 0.13 * f0 + 0.0072 * f0 * std::sqrt(f0); // 1/s
    const double salita = 0.1 * smorzamento; // relative rise of the pitch, 1/s
    const int primo = Indice(inizio);
    const int ultimo = std::min(NumeroCampioni, primo + Indice(8.0 / smorzamento));
    double fase = 0.0;
    for (int i = primo; i < ultimo; ++i) {
        const double t = static_cast<double>(i - primo) / Frequenza;
        segnale[i] += ampiezza * std::exp(-smorzamento * t) * std::sin(fase);
        fase += 2.0 * Pi * f0 * (1.0 + salita * t) / Frequenza;
    }
}

// One episode of the sound: a cloud of bubbles born at a rate that follows an envelope, and
// the splash of the broken surface with it.
struct Episodio {
    double inizio = 0.0; // s
    double salita = 0.0; // s, from silence to the top of the envelope
    double decadimento = 0.0; // s, time constant of the fall after the top; 0 holds the top
    double fine = 0.0; // s, nothing is born later
    double bolleAlSecondo = 0.0; // at the top of the envelope
    double raggioMin = 0.0; // mm
    double raggioMax = 0.0; // mm
    double tetto = 0.0; // deviation that the episode never passes
    double spruzzo = 0.0; // level of the splash, relative to tetto
    quint64 seme = 0;
};

double Inviluppo(const Episodio& e, double t)
{
    if (t < e.inizio || t >= e.fine)
        return 0.0;
    const double dopo = t - e.inizio;
    if (dopo < e.salita) {
        const double s = std::sin(0.5 * Pi * dopo / e.salita);
        return s * s;
    }
    return e.decadimento > 0.0 ? std::exp(-(dopo - e.salita) / e.decadimento) : 1.0;
}

// Bubbles that happen to ring together can add up far above the rest of their episode, and
// such a chance pile-up would then set the level of its whole stretch. A soft knee keeps
// every episode under its ceiling; what stays below the knee passes untouched.
double Ginocchio(double x, double tetto)
{
    const double ginocchio = 0.6 * tetto;
    const double ampiezza = std::abs(x);
    if (ampiezza <= ginocchio)
        return x;
    const double sopra = tetto - ginocchio;
    return std::copysign(ginocchio + sopra * std::tanh((ampiezza - ginocchio) / sopra), x);
}

// Bubble times come from a Poisson process at the top rate, thinned by the envelope. Every
// candidate draws the same numbers, kept or not, so that one episode's bubbles do not move
// when its envelope changes. spinta sets how hard the bubbles drive the episode into its
// ceiling: the harder, the fuller the sound between its peaks.
void AggiungiBollicine(Segnale& segnale, const Episodio& e, double spinta)
{
    quint64 stato = e.seme;
    double t = e.inizio;
    for (;;) {
        t -= std::log(1.0 - Casuale(stato)) / e.bolleAlSecondo;
        if (t >= e.fine || Indice(t) >= NumeroCampioni)
            return;
        const double tenuta = Casuale(stato);
        const double dimensione = Casuale(stato);
        const double forza = 1.0 - Casuale(stato);
        const double inviluppo = Inviluppo(e, t);
        if (tenuta >= inviluppo)
            continue;
        // Small bubbles outnumber big ones by the square of the radius, which spreads their
        // resonances evenly over the band.
        const double raggio
            = 1.0 / (1.0 / e.raggioMin + dimensione * (1.0 / e.raggioMax - 1.0 / e.raggioMin));
        const double ampiezza = spinta * e.tetto * inviluppo * forza;
        AggiungiBolla(segnale, t, raggio, ampiezza);
    }
}

void AggiungiSpruzzo(Segnale& segnale, const Episodio& e)
{
    const int primo = Indice(e.inizio);
    const int ultimo = std::min(NumeroCampioni, Indice(e.fine + 0.05)); // room to ring out
    quint64 stato = e.seme ^ 0x5EED5EED5EED5EEDull;
    Segnale rumore(static_cast<size_t>(ultimo - primo));
    for (size_t i = 0; i < rumore.size(); ++i) {
        const double t = static_cast<double>(primo + static_cast<int>(i)) / Frequenza;
        rumore[i] = (2.0 * Casuale(stato) - 1.0) * Inviluppo(e, t);
    }
    FiltraBanda(rumore);
    for (size_t i = 0; i < rumore.size(); ++i)
        segnale[static_cast<size_t>(primo) + i] += e.tetto * e.spruzzo * rumore[i];
}

// The story of the sound, in the order it is heard: a few soft drips while the body rests on
// the surface, the plunge, two gulps of air escaping, the body going under, a steady
// bubbling while it sinks, a last burst as it settles, and the water still seething when
// the sound is cut off.
// clang-format off
constexpr Episodio Episodi[] = {
    // inizio salita  decad.  fine   bolle/s  raggi mm    tetto  spruzzo seme
    { 0.030, 0.010, 0.0,   0.830,  12.0, 2.9,  4.5,   75.0, 0.0,  0x1001 }, // drips
    { 0.850, 0.004, 0.030, 1.000, 700.0, 3.5, 10.0,   80.0, 0.5,  0x1002 }, // the plunge
    { 1.000, 0.010, 0.0,   1.200,  25.0, 3.5,  7.0,   30.0, 0.0,  0x1003 }, // stray bubbles
    { 1.225, 0.006, 0.045, 1.380, 400.0, 3.5,  8.0,  100.0, 0.4,  0x1004 }, // first gulp
    { 1.415, 0.008, 0.040, 1.550, 300.0, 3.5,  8.0,  125.0, 0.4,  0x1005 }, // second gulp
    { 1.550, 0.010, 0.0,   1.700,  30.0, 3.5,  7.0,   30.0, 0.0,  0x1006 }, // stray bubbles
    { 1.700, 0.065, 0.050, 1.950, 800.0, 3.5, 10.0,   90.0, 0.6,  0x1007 }, // going under
    { 1.930, 0.070, 0.0,   3.000, 150.0, 3.3,  8.0,   80.0, 0.25, 0x1008 }, // sinking
    { 3.002, 0.003, 0.035, 3.150, 700.0, 3.5, 10.0,  100.0, 0.5,  0x1009 }, // settling
    { 3.080, 0.060, 3.000, Fine,  200.0, 3.3,  7.0,   55.0, 0.2,  0x100A }, // seething
};
// clang-format on

// The big bubbles that the body itself drags down.
struct Tonfo {
    double istante = 0.0; // s
    double raggioMm = 0.0;
    double ampiezza = 0.0;
};
constexpr Tonfo Tonfi[] = {
    { 0.852, 8.5, 120.0 },
    { 1.766, 9.5, 120.0 },
    { 3.003, 8.0, 130.0 },
};

// The loudest deviation that each stretch reaches. A stretch without one (0) passes
// smoothly from the level of the stretch before to that of the stretch after.
struct Tratto {
    double da = 0.0; // s
    double a = 0.0; // s
    double picco = 0.0;
};
constexpr Tratto Tratti[] = {
    { 0.00, 0.85, 33.0 },
    { 0.85, 1.00, 120.0 },
    { 1.00, 1.20, 0.0 },
    { 1.20, 1.38, 76.0 },
    { 1.38, 1.55, 45.0 },
    { 1.55, 1.70, 0.0 },
    { 1.70, 1.95, 126.0 },
    { 1.95, 2.00, 0.0 },
    { 2.00, 3.00, 87.0 },
    { 3.00, 3.10, 116.0 },
    { 3.10, Fine - 0.15, 53.0 },
    { Fine - 0.15, Fine, 40.0 },
};
constexpr int NumeroTratti = static_cast<int>(std::size(Tratti));
constexpr double Raccordo = 0.004; // s on each side of a border between two levels

// The gain of every sample: flat inside a levelled stretch, a raised-cosine step across each
// border, and one long step over a stretch without a level.
Segnale CurvaGuadagno(const std::vector<double>& guadagni)
{
    std::vector<std::pair<double, double>> nodi; // (sample, gain)
    for (int i = 0; i < NumeroTratti; ++i) {
        if (Tratti[i].picco <= 0.0)
            continue;
        const double da = i == 0 ? 0.0 : (Tratti[i].da + Raccordo) * Frequenza;
        const double a
            = i == NumeroTratti - 1 ? NumeroCampioni : (Tratti[i].a - Raccordo) * Frequenza;
        nodi.emplace_back(da, guadagni[static_cast<size_t>(i)]);
        nodi.emplace_back(a, guadagni[static_cast<size_t>(i)]);
    }
    Segnale curva(NumeroCampioni);
    size_t k = 0;
    for (int i = 0; i < NumeroCampioni; ++i) {
        while (k + 2 < nodi.size() && i >= nodi[k + 1].first)
            ++k;
        const auto [x0, g0] = nodi[k];
        const auto [x1, g1] = nodi[k + 1];
        const double u = std::clamp((i - x0) / (x1 - x0), 0.0, 1.0);
        curva[static_cast<size_t>(i)] = g0 + (g1 - g0) * 0.5 * (1.0 - std::cos(Pi * u));
    }
    return curva;
}

double Picco(const Segnale& segnale, const Segnale& curva, const Tratto& tratto)
{
    double picco = 0.0;
    for (int i = Indice(tratto.da); i < std::min(NumeroCampioni, Indice(tratto.a)); ++i) {
        const auto k = static_cast<size_t>(i);
        picco = std::max(picco, std::abs(segnale[k] * curva[k]));
    }
    return picco;
}

// Brings the loudest sample of every levelled stretch onto its level. The steps across the
// borders let a stretch's gain reach a little into its neighbours, so it takes a few rounds.
void Livella(Segnale& segnale)
{
    std::vector<double> guadagni(NumeroTratti, 1.0);
    Segnale curva = CurvaGuadagno(guadagni);
    for (int giro = 0; giro < 50; ++giro) {
        double scarto = 0.0;
        for (int i = 0; i < NumeroTratti; ++i) {
            if (Tratti[i].picco <= 0.0)
                continue;
            const double picco = Picco(segnale, curva, Tratti[i]);
            if (picco <= 0.0)
                continue;
            guadagni[static_cast<size_t>(i)] *= Tratti[i].picco / picco;
            scarto = std::max(scarto, std::abs(Tratti[i].picco / picco - 1.0));
        }
        curva = CurvaGuadagno(guadagni);
        if (scarto < 1e-9)
            break;
    }
    for (size_t i = 0; i < segnale.size(); ++i)
        segnale[i] *= curva[i];
}

// A quiet room is never quite silent: a faint wash of the same band under everything.
void AggiungiFondo(Segnale& segnale)
{
    quint64 stato = 0xF0DD0;
    Segnale rumore(NumeroCampioni);
    for (double& x : rumore)
        x = 2.0 * Casuale(stato) - 1.0;
    FiltraBanda(rumore);
    for (size_t i = 0; i < segnale.size(); ++i)
        segnale[i] += 1.5 * rumore[i];
}

std::vector<quint8> Campioni(double spinta)
{
    Segnale segnale(NumeroCampioni, 0.0);
    for (const Episodio& episodio : Episodi) {
        Segnale nuvola(NumeroCampioni, 0.0);
        AggiungiBollicine(nuvola, episodio, spinta);
        if (episodio.spruzzo > 0.0)
            AggiungiSpruzzo(nuvola, episodio);
        for (size_t i = 0; i < segnale.size(); ++i)
            segnale[i] += Ginocchio(nuvola[i], episodio.tetto);
    }
    for (const Tonfo& tonfo : Tonfi)
        AggiungiBolla(segnale, tonfo.istante, tonfo.raggioMm, tonfo.ampiezza);
    // A ring that starts at zero phase leaves a small net push behind it, which would show as
    // a drift of the silence line; a microphone would not pass it either.
    Filtra(segnale, Sezione(200.0, true));
    AggiungiFondo(segnale);
    Livella(segnale);

    // 128 is silence; 0 and 255 stay unused, as the deviation never passes 127.
    std::vector<quint8> campioni(NumeroCampioni);
    for (size_t i = 0; i < campioni.size(); ++i) {
        const double deviazione = std::clamp(std::floor(segnale[i] + 0.5), -127.0, 126.0);
        campioni[i] = static_cast<quint8>(128 + static_cast<int>(deviazione));
    }
    return campioni;
}

double Decibel(const std::vector<quint8>& campioni)
{
    double somma = 0.0;
    for (quint8 c : campioni)
        somma += (c - 128.0) * (c - 128.0);
    return 20.0 * std::log10(std::sqrt(somma / static_cast<double>(campioni.size())) / FondoScala);
}

// The levelled peaks fix the loud moments; what sets the average level is how full the
// sound is between them. From half the ceiling up the average grows with the drive, so
// halving the interval finds the drive that gives the wanted level. A weaker drive would
// leave stretches so empty that levelling them would mostly lift the faint floor.
std::vector<quint8> CampioniAlLivello()
{
    double basso = 0.5, alto = 2.0;
    for (int giro = 0; giro < 30; ++giro) {
        const double mezzo = 0.5 * (basso + alto);
        if (Decibel(Campioni(mezzo)) < RmsDecibel)
            basso = mezzo;
        else
            alto = mezzo;
    }
    return Campioni(0.5 * (basso + alto));
}

void Scrivi(QByteArray& wave, quint32 valore, int byte)
{
    for (int i = 0; i < byte; ++i)
        wave.append(static_cast<char>((valore >> (8 * i)) & 0xFFu));
}

} // namespace

QByteArray SuonoBolle()
{
    const std::vector<quint8> campioni = CampioniAlLivello();
    const auto dati = static_cast<quint32>(campioni.size());
    const quint32 pad = dati % 2;

    QByteArray wave;
    wave.reserve(static_cast<int>(56 + dati + pad));
    wave.append("RIFF");
    Scrivi(wave, 4 + (8 + 16) + (8 + 4) + (8 + dati + pad), 4);
    wave.append("WAVE");
    wave.append("fmt ");
    Scrivi(wave, 16, 4);
    Scrivi(wave, 1, 2); // PCM
    Scrivi(wave, 1, 2); // mono
    Scrivi(wave, Frequenza, 4);
    Scrivi(wave, Frequenza, 4); // bytes per second
    Scrivi(wave, 1, 2); // block alignment
    Scrivi(wave, 8, 2); // bits per sample
    wave.append("fact");
    Scrivi(wave, 4, 4);
    Scrivi(wave, dati, 4); // sample frames
    wave.append("data");
    Scrivi(wave, dati, 4);
    wave.append(reinterpret_cast<const char*>(campioni.data()), static_cast<int>(dati));
    if (pad)
        wave.append('\0');
    return wave;
}
