// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LettoreWave.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <memory>

#ifdef IDROVELA_SONDA_PULSE
#include "RiservaPulse.h"
#endif

class QAudioSink;

// Plays the samples of a WAVE image on the default output. Lives on the sound thread, where
// every multimedia object of the program is made, used and destroyed.
class Lettore : public QObject {
    Q_OBJECT

public:
    explicit Lettore(QObject* parent = nullptr);
    ~Lettore() override;

    // Connects to the sound server, so that the first sound need not wait for it.
    void Prepara();
    // Cuts the sound that plays, then starts this one; false when no sink was started.
    bool Suona(const QByteArray& immagine, const LettoreWave::Campioni& campioni);
    void Ferma(); // stops and destroys the sink

    // Ends at once, from any thread, a wait for the sound server's answer; no sound after it.
    static void Interrompi();

private:
    bool ServerPronto();

    bool m_serverPronto = false; // the server answered once; Qt's client takes it from here
    std::unique_ptr<QAudioSink> m_sink;
#ifdef IDROVELA_SONDA_PULSE
    RiservaPulse m_riserva; // when Qt's client has lost the server
#endif
    // Lets the sink go once its sound has surely been played, so that no stream stays open.
    QTimer m_fine;
};
