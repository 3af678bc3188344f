// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LettoreWave.h"

#include <QByteArray>

#include <memory>

class Lettore;
class QThread;

// The sound thread and its player. The user-interface thread only posts requests to it, in
// order, and never waits for the sound server, which may be slow or missing.
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

private:
    ServizioSuono() = default;
    bool Avvia();

    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<Lettore> m_lettore; // lives on m_thread
    bool m_chiuso = false;
};
