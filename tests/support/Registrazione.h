// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>

#include <atomic>
#include <mutex>
#include <thread>

#include <sys/types.h>

// What a sink really played, recorded from its monitor with parec, mono at 11025 Hz, each
// sample with the time its block arrived (CLOCK_MONOTONIC, as Adesso() reads it). A thread of
// its own reads parec, so that the arrival times hold while the caller is busy.
class Registrazione {
public:
    static constexpr int Frequenza = 11025;

    explicit Registrazione(QString monitor);
    ~Registrazione();
    Registrazione(const Registrazione&) = delete;
    Registrazione& operator=(const Registrazione&) = delete;

    // Starts parec and returns once samples come as fast as they play: an idle sink first
    // hands over one long block, and nothing played afterwards may be missed.
    bool Avvia();
    // The samples recorded so far, from -1 to 1; the recording ends.
    QVector<float> Ferma();
    QString Errore() const { return m_errore; }

    qsizetype Lunghezza() const;
    QVector<float> Campioni(qsizetype da = 0) const;
    // When the block of each sample from da on came in, in nanoseconds.
    QVector<qint64> Arrivi(qsizetype da = 0) const;

    // Each waits at most attesaMs, with the caller's event loop running meanwhile.
    // Until the recording holds at least n samples.
    bool AttendiLunghezza(qsizetype n, int attesaMs = 30000);
    // The first sample from da on louder than soglia; -1 if none comes.
    qsizetype AttendiSuono(qsizetype da, float soglia, int attesaMs = 30000);
    // The first sample from da on that starts durata samples no louder than soglia; -1 if
    // none comes.
    qsizetype AttendiSilenzio(qsizetype da, qsizetype durata, float soglia, int attesaMs = 30000);

    static qint64 Adesso();

private:
    void Leggi();
    template <typename Condizione> bool Attendi(Condizione condizione, int attesaMs);

    QString m_monitor;
    QString m_errore;
    pid_t m_pid = -1;
    int m_fd = -1;
    std::thread m_lettore;
    mutable std::mutex m_mutex;
    QVector<float> m_campioni;
    QVector<qint64> m_arrivi;
    std::atomic<bool> m_finito { false };
};
