// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LettoreWave.h"

#include <QByteArray>

struct pa_context;
struct pa_stream;
struct pa_threaded_mainloop;

// Plays on the default output through a PulseAudio connection of its own, made afresh whenever
// the one before it is gone. Qt's client keeps one connection for the whole process: once the
// server has gone it tries again a single time, three seconds later, so a sound asked for in
// between is lost, and so is every sound after an absence longer than that. Sound thread only.
class RiservaPulse {
public:
    RiservaPulse() = default;
    ~RiservaPulse();
    RiservaPulse(const RiservaPulse&) = delete;
    RiservaPulse& operator=(const RiservaPulse&) = delete;

    // Cuts the sound that plays, then starts these samples; false when the server does not
    // take them within ms.
    bool Suona(const QByteArray& immagine, const LettoreWave::Campioni& campioni, int ms);
    void Ferma();

    // Ends at once, from any thread, a wait for the server; no sound after it.
    static void Interrompi();

private:
    bool Connetti(int ms);

    pa_threaded_mainloop* m_ciclo = nullptr;
    pa_context* m_contesto = nullptr;
    pa_stream* m_flusso = nullptr;
};
