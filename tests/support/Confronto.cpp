// SPDX-License-Identifier: GPL-3.0-or-later
#include "Confronto.h"

#include <QtEndian>

#include <cmath>

namespace {
constexpr int MezzaFinestra = 8; // taps on each side of the interpolation
constexpr double Pi = 3.14159265358979323846;
} // namespace

QVector<float> Confronto::Mono(const QByteArray& immagine, const LettoreWave::Campioni& campioni)
{
    const int byteCampione = campioni.bit / 8;
    const int byteFotogramma = byteCampione * campioni.canali;
    const char* p = immagine.constData() + campioni.inizio;
    QVector<float> mono(campioni.lunghezza / byteFotogramma);
    for (qsizetype f = 0; f < mono.size(); ++f) {
        float somma = 0;
        for (int c = 0; c < campioni.canali; ++c) {
            const char* s = p + f * byteFotogramma + c * byteCampione;
            somma += byteCampione == 1 ? (quint8(*s) - 128) / 128.0f
                                       : qFromLittleEndian<qint16>(s) / 32768.0f;
        }
        mono[f] = somma / campioni.canali;
    }
    return mono;
}

QVector<float> Confronto::Ritardato(const QVector<float>& x, double frazione)
{
    if (frazione == 0)
        return x;
    double pesi[2 * MezzaFinestra + 1];
    for (int k = -MezzaFinestra; k <= MezzaFinestra; ++k) {
        const double t = k - frazione;
        const double sinc = std::sin(Pi * t) / (Pi * t);
        const double hann = 0.5 * (1 + std::cos(Pi * t / (MezzaFinestra + 1)));
        pesi[k + MezzaFinestra] = sinc * hann;
    }
    QVector<float> y(x.size());
    for (qsizetype i = 0; i < x.size(); ++i) {
        double somma = 0;
        for (int k = -MezzaFinestra; k <= MezzaFinestra; ++k) {
            const qsizetype j = i - k;
            if (j >= 0 && j < x.size())
                somma += x[j] * pesi[k + MezzaFinestra];
        }
        y[i] = float(somma);
    }
    return y;
}

double Confronto::Correlazione(const float* x, const float* y, qsizetype n)
{
    double xy = 0, xx = 0, yy = 0;
    for (qsizetype i = 0; i < n; ++i) {
        xy += double(x[i]) * y[i];
        xx += double(x[i]) * x[i];
        yy += double(y[i]) * y[i];
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0.0;
}

Confronto::Allineamento Confronto::Cerca(const QVector<float>& registrazione,
    const QVector<float>& atteso, qsizetype da, qsizetype n, qsizetype minimo, qsizetype massimo)
{
    Allineamento migliore;
    minimo = qMax<qsizetype>(1, minimo + da) - da;
    massimo = qMin(massimo + da, registrazione.size() - n - 1) - da;
    if (n <= 0 || da < 0 || da + n > atteso.size() || minimo >= massimo)
        return migliore;

    // Whole samples first, with the energy of the window under the model kept up to date...
    const float* r = registrazione.constData() + da;
    const float* modello = atteso.constData() + da;
    const double energiaModello = std::pow(Rms(modello, n), 2) * double(n);
    double energia = std::pow(Rms(r + minimo, n), 2) * double(n);
    for (qsizetype pos = minimo; pos < massimo; ++pos) {
        if (pos > minimo)
            energia += double(r[pos + n - 1]) * r[pos + n - 1] - double(r[pos - 1]) * r[pos - 1];
        float prodotto = 0;
        for (qsizetype i = 0; i < n; ++i)
            prodotto += r[pos + i] * modello[i];
        const double norma = std::sqrt(qMax(energia, 0.0) * energiaModello);
        const double c = norma > 0 ? prodotto / norma : 0.0;
        if (c > migliore.correlazione)
            migliore = { pos, 0, c };
    }
    // ...then quarters of a sample around the best.
    const qsizetype intero = migliore.posizione;
    for (const double frazione : { 0.25, 0.5, 0.75 }) {
        for (qsizetype pos = intero - 1; pos <= intero; ++pos) {
            const Allineamento prova { pos, frazione, 0 };
            const double c = Somiglianza(registrazione, atteso, prova, da, n);
            if (c > migliore.correlazione)
                migliore = { pos, frazione, c };
        }
    }
    return migliore;
}

QVector<Confronto::Allineamento> Confronto::Tratti(const QVector<float>& registrazione,
    const QVector<float>& atteso, qsizetype da, qsizetype n, qsizetype tratto, qsizetype minimo,
    qsizetype massimo)
{
    QVector<Allineamento> tratti;
    for (qsizetype inizio = da; tratto > 0 && inizio + tratto <= da + n; inizio += tratto)
        tratti << Cerca(registrazione, atteso, inizio, tratto, minimo, massimo);
    return tratti;
}

double Confronto::Somiglianza(const QVector<float>& registrazione, const QVector<float>& atteso,
    const Allineamento& allineamento, qsizetype da, qsizetype n)
{
    const qsizetype inizio = allineamento.posizione + da;
    if (allineamento.posizione < 0 || inizio + n > registrazione.size() || da < 0
        || da + n > atteso.size())
        return 0;
    const QVector<float> ritardato = Ritardato(atteso, allineamento.frazione);
    return Correlazione(registrazione.constData() + inizio, ritardato.constData() + da, n);
}

double Confronto::Rms(const float* x, qsizetype n)
{
    double somma = 0;
    for (qsizetype i = 0; i < n; ++i)
        somma += double(x[i]) * x[i];
    return n > 0 ? std::sqrt(somma / double(n)) : 0.0;
}

double Confronto::Decibel(double rapporto)
{
    return 20 * std::log10(rapporto);
}

float Confronto::Picco(const float* x, qsizetype n)
{
    float picco = 0;
    for (qsizetype i = 0; i < n; ++i)
        picco = qMax(picco, std::fabs(x[i]));
    return picco;
}
