// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bolle.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

namespace {

constexpr int Frequenza = 11025;
constexpr int InizioDati = 56;
constexpr int NumeroCampioni = 40215;
constexpr double Durata = static_cast<double>(NumeroCampioni) / Frequenza;
constexpr int Finestra = 1024; // samples per spectrum frame, about 93 ms

QByteArray Intero(quint32 valore, int byte)
{
    QByteArray risultato;
    for (int i = 0; i < byte; ++i)
        risultato.append(static_cast<char>((valore >> (8 * i)) & 0xFFu));
    return risultato;
}

int Campione(double secondi)
{
    return std::min(NumeroCampioni, qRound(secondi * Frequenza));
}

void Fft(std::vector<std::complex<double>>& x)
{
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(x[i], x[j]);
    }
    for (size_t lunghezza = 2; lunghezza <= n; lunghezza <<= 1) {
        const double angolo = -2.0 * M_PI / static_cast<double>(lunghezza);
        const std::complex<double> passo(std::cos(angolo), std::sin(angolo));
        for (size_t i = 0; i < n; i += lunghezza) {
            std::complex<double> w(1.0);
            for (size_t k = 0; k < lunghezza / 2; ++k) {
                const auto a = x[i + k];
                const auto b = x[i + k + lunghezza / 2] * w;
                x[i + k] = a + b;
                x[i + k + lunghezza / 2] = a - b;
                w *= passo;
            }
        }
    }
}

} // namespace

class tst_Bolle : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void intestazione_data();
    void intestazione();
    void campioniEntroIlimiti();
    void silenzioA128();
    void livelloMedio();
    void picchi_data();
    void picchi();
    void piccoPiuForteA177();
    void energiaTra300e1100Hz();
    void nessunaNotaFissa();
    void sempreGliStessiByte();

private:
    int Picco(double da, double a) const;
    std::vector<double> Spettro() const; // energy per frequency bin, summed over the frames

    QByteArray m_wave;
    std::vector<int> m_deviazioni; // every sample, minus the silence at 128
};

void tst_Bolle::initTestCase()
{
    m_wave = SuonoBolle();
    // Everything else reads the samples; a short image would send it out of bounds.
    QCOMPARE(m_wave.size(), 40272);
    for (int i = 0; i < NumeroCampioni; ++i)
        m_deviazioni.push_back(static_cast<quint8>(m_wave.at(InizioDati + i)) - 128);
}

void tst_Bolle::intestazione_data()
{
    QTest::addColumn<int>("posizione");
    QTest::addColumn<QByteArray>("atteso");

    QTest::newRow("a RIFF file") << 0 << QByteArray("RIFF");
    QTest::newRow("whose size counts the rest of the file") << 4 << Intero(40264, 4);
    QTest::newRow("holds a WAVE") << 8 << QByteArray("WAVE");
    QTest::newRow("with a format chunk") << 12 << QByteArray("fmt ");
    QTest::newRow("of 16 bytes") << 16 << Intero(16, 4);
    QTest::newRow("in PCM") << 20 << Intero(1, 2);
    QTest::newRow("mono") << 22 << Intero(1, 2);
    QTest::newRow("at 11025 samples per second") << 24 << Intero(11025, 4);
    QTest::newRow("and as many bytes per second") << 28 << Intero(11025, 4);
    QTest::newRow("one byte per frame") << 32 << Intero(1, 2);
    QTest::newRow("of 8 bits") << 34 << Intero(8, 2);
    QTest::newRow("then a fact chunk") << 36 << QByteArray("fact");
    QTest::newRow("of 4 bytes") << 40 << Intero(4, 4);
    QTest::newRow("counting 40215 frames") << 44 << Intero(40215, 4);
    QTest::newRow("then the data chunk") << 48 << QByteArray("data");
    QTest::newRow("of 40215 bytes") << 52 << Intero(40215, 4);
    QTest::newRow("padded with a zero to an even size") << 40271 << QByteArray(1, '\0');
}

void tst_Bolle::intestazione()
{
    QFETCH(int, posizione);
    QFETCH(QByteArray, atteso);

    QCOMPARE(m_wave.mid(posizione, atteso.size()), atteso);
}

void tst_Bolle::campioniEntroIlimiti()
{
    const auto [minimo, massimo] = std::minmax_element(m_deviazioni.begin(), m_deviazioni.end());
    QVERIFY2(*minimo > -128, "a sample at 0");
    QVERIFY2(*massimo < 127, "a sample at 255");
}

void tst_Bolle::silenzioA128()
{
    double somma = 0.0;
    for (int d : m_deviazioni)
        somma += d;
    // Samples written as signed bytes, or a ring that drifts, would move the average.
    QVERIFY2(std::abs(somma / NumeroCampioni) < 0.5, qPrintable(QString::number(somma)));
}

void tst_Bolle::livelloMedio()
{
    double somma = 0.0;
    for (int d : m_deviazioni)
        somma += static_cast<double>(d) * d;
    const double decibel = 20.0 * std::log10(std::sqrt(somma / NumeroCampioni) / 127.0);
    QVERIFY2(std::abs(decibel + 20.7) <= 0.1, qPrintable(QString::number(decibel)));
}

int tst_Bolle::Picco(double da, double a) const
{
    int picco = 0;
    for (int i = Campione(da); i < Campione(a); ++i)
        picco = std::max(picco, std::abs(m_deviazioni[static_cast<size_t>(i)]));
    return picco;
}

void tst_Bolle::picchi_data()
{
    QTest::addColumn<double>("da");
    QTest::addColumn<double>("a");
    QTest::addColumn<int>("minimo");
    QTest::addColumn<int>("massimo");

    QTest::newRow("only soft drips before the plunge") << 0.0 << 0.85 << 20 << 33;
    QTest::newRow("the plunge at 0.85 s") << 0.85 << 1.0 << 117 << 123;
    QTest::newRow("the plunge has died away 0.15 s later") << 0.97 << 1.0 << 0 << 12;
    QTest::newRow("a lull before the gulps") << 1.0 << 1.2 << 0 << 33;
    QTest::newRow("the first gulp") << 1.2 << 1.38 << 73 << 79;
    QTest::newRow("the second gulp") << 1.38 << 1.55 << 42 << 48;
    QTest::newRow("a lull before the body goes under") << 1.55 << 1.7 << 0 << 40;
    QTest::newRow("the loudest burst as the body goes under") << 1.7 << 1.95 << 123 << 126;
    QTest::newRow("no more than medium bubbling while it sinks") << 2.0 << 3.0 << 84 << 87;
    for (int decimo = 20; decimo < 30; ++decimo)
        QTest::addRow("bubbling without a pause at %.1f s", decimo / 10.0)
            << decimo / 10.0 << (decimo + 1) / 10.0 << 20 << 87;
    QTest::newRow("the last burst at 3.00 s") << 3.0 << 3.1 << 113 << 119;
    QTest::newRow("a lower tail after it") << 3.1 << Durata << 50 << 53;
    QTest::newRow("the last 0.15 s not faded out") << Durata - 0.15 << Durata << 35 << 44;
    QTest::newRow("cut off while still bubbling") << Durata - 0.05 << Durata << 15 << 44;
}

void tst_Bolle::picchi()
{
    QFETCH(double, da);
    QFETCH(double, a);
    QFETCH(int, minimo);
    QFETCH(int, massimo);

    const int picco = Picco(da, a);
    QVERIFY2(picco >= minimo && picco <= massimo, qPrintable(QString::number(picco)));
}

void tst_Bolle::piccoPiuForteA177()
{
    const auto piu = std::max_element(m_deviazioni.begin(), m_deviazioni.end(),
        [](int x, int y) { return std::abs(x) < std::abs(y); });
    const double istante = static_cast<double>(piu - m_deviazioni.begin()) / Frequenza;
    QVERIFY2(std::abs(istante - 1.77) <= 0.015, qPrintable(QString::number(istante)));
}

std::vector<double> tst_Bolle::Spettro() const
{
    std::vector<double> energia(Finestra / 2 + 1, 0.0);
    for (int inizio = 0; inizio + Finestra <= NumeroCampioni; inizio += Finestra / 2) {
        std::vector<std::complex<double>> x(Finestra);
        for (int i = 0; i < Finestra; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2.0 * M_PI * i / Finestra);
            x[static_cast<size_t>(i)] = hann * m_deviazioni[static_cast<size_t>(inizio + i)];
        }
        Fft(x);
        for (size_t k = 0; k < energia.size(); ++k)
            energia[k] += std::norm(x[k]);
    }
    return energia;
}

void tst_Bolle::energiaTra300e1100Hz()
{
    const std::vector<double> energia = Spettro();
    double banda = 0.0, totale = 0.0;
    for (size_t k = 0; k < energia.size(); ++k) {
        const double hertz = static_cast<double>(k) * Frequenza / Finestra;
        totale += energia[k];
        if (hertz >= 300.0 && hertz <= 1100.0)
            banda += energia[k];
    }
    QVERIFY2(banda / totale >= 0.8, qPrintable(QString::number(banda / totale)));
}

void tst_Bolle::nessunaNotaFissa()
{
    // Bubbles of one size would ring at one pitch and pile their energy into a narrow band;
    // water spreads it. No stretch of 54 Hz may hold a quarter of it.
    const std::vector<double> energia = Spettro();
    const int larghezza = 5;
    double totale = 0.0, massima = 0.0;
    for (size_t k = 0; k < energia.size(); ++k)
        totale += energia[k];
    for (size_t k = 0; k + larghezza <= energia.size(); ++k) {
        double somma = 0.0;
        for (size_t j = k; j < k + larghezza; ++j)
            somma += energia[j];
        massima = std::max(massima, somma);
    }
    QVERIFY2(massima / totale < 0.25, qPrintable(QString::number(massima / totale)));
}

void tst_Bolle::sempreGliStessiByte()
{
    QCOMPARE(SuonoBolle(), m_wave);
}

QTEST_APPLESS_MAIN(tst_Bolle)
#include "tst_Bolle.moc"
