// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LettoreWave.h"

#include <QByteArray>
#include <QVector>

// Finds a known signal in a recording and compares the two. The sound server resamples on
// the way (the sound's rate to the sink's and back to the recording's), which shifts the
// signal by a fraction of a sample; the search therefore works to a quarter of a sample.
class Confronto {
public:
    struct Allineamento {
        qsizetype posizione = -1; // where the signal's first sample lies in the recording
        double frazione = 0; // and how much later still, in samples
        double correlazione = 0; // normalised: 1 for an exact copy at any level

        double Istante() const { return double(posizione) + frazione; }
    };

    // The samples of a WAVE image as mono values from -1 to 1.
    static QVector<float> Mono(const QByteArray& immagine, const LettoreWave::Campioni& campioni);
    // Where atteso starts in the recording, between minimo and massimo, judged by the part
    // atteso[da, da + n) alone.
    static Allineamento Cerca(const QVector<float>& registrazione, const QVector<float>& atteso,
        qsizetype da, qsizetype n, qsizetype minimo, qsizetype massimo);
    // atteso[da, da + n) in pieces of tratto samples, each lined up on its own as Cerca does,
    // between minimo and massimo; a gap in the recording shifts the pieces after it.
    static QVector<Allineamento> Tratti(const QVector<float>& registrazione,
        const QVector<float>& atteso, qsizetype da, qsizetype n, qsizetype tratto, qsizetype minimo,
        qsizetype massimo);
    // How alike atteso[da, da + n) and the recording are, lined up as found.
    static double Somiglianza(const QVector<float>& registrazione, const QVector<float>& atteso,
        const Allineamento& allineamento, qsizetype da, qsizetype n);
    // The signal later by a fraction of a sample, band-limited interpolation.
    static QVector<float> Ritardato(const QVector<float>& x, double frazione);
    static double Correlazione(const float* x, const float* y, qsizetype n);
    static double Rms(const float* x, qsizetype n);
    static double Decibel(double rapporto);
    static float Picco(const float* x, qsizetype n);
};
