// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LettoreWave.h"

#include <QByteArray>

#include <memory>
#include <mutex>
#include <optional>

class Lettore;
class QThread;

// The sound thread and its player. The user-interface thread only leaves requests for it and
// never waits for the sound server, which may be slow or missing. Only the latest request
// counts, since each one cuts the sound before it: however many calls come while the thread
// is busy, it has one request to serve when it is free, and the way out never waits behind a
// queue of sounds that nobody would hear.
class ServizioSuono {
public:
    static ServizioSuono& Istanza();

    ~ServizioSuono();
    ServizioSuono(const ServizioSuono&) = delete;
    ServizioSuono& operator=(const ServizioSuono&) = delete;

    void Prepara();
    void Suona(const QByteArray& immagine, const LettoreWave::Campioni& campioni);
    void Ferma();
    void Chiudi();
    bool InAttesa();

private:
    // A sound to start, or silence when the image is empty.
    struct Richiesta {
        QByteArray immagine;
        LettoreWave::Campioni campioni;
    };

    ServizioSuono() = default;
    bool Avvia();
    void Chiedi(Richiesta richiesta);
    void Servi();

    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<Lettore> m_lettore; // lives on m_thread
    bool m_chiuso = false;

    std::mutex m_mutex; // guards the two below
    std::optional<Richiesta> m_richiesta; // the latest, not served yet
    bool m_servizioInArrivo = false; // a call of Servi is queued or running
    bool m_inServizio = false; // sound thread only
};
