// SPDX-License-Identifier: GPL-3.0-or-later
#include "Lettore.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <limits>

#ifdef IDROVELA_SONDA_PULSE
#include "SondaServer.h"
#endif

namespace {
// Longer than the sound server takes to start a stream and play out what it holds.
constexpr int CodaMs = 500;
// A local server answers within milliseconds; one that takes longer is taken for absent.
constexpr int AttesaServerMs = 1000;
} // namespace

Lettore::Lettore(QObject* parent)
    : QObject(parent)
    , m_fine(this)
{
    m_fine.setSingleShot(true);
    connect(&m_fine, &QTimer::timeout, this, &Lettore::Ferma);
}

Lettore::~Lettore()
{
    Ferma();
}

bool Lettore::ServerPronto()
{
#ifdef IDROVELA_SONDA_PULSE
    if (!m_serverPronto)
        m_serverPronto = SondaServer::Risponde(AttesaServerMs);
#else
    m_serverPronto = true;
#endif
    return m_serverPronto;
}

void Lettore::Interrompi()
{
#ifdef IDROVELA_SONDA_PULSE
    SondaServer::Interrompi();
    RiservaPulse::Interrompi();
#endif
}

void Lettore::Prepara()
{
    if (ServerPronto())
        QMediaDevices::defaultAudioOutput();
}

bool Lettore::Suona(const QByteArray& immagine, const LettoreWave::Campioni& campioni)
{
    Ferma();

    QAudioFormat formato;
    formato.setSampleRate(campioni.frequenza);
    formato.setChannelCount(campioni.canali);
    formato.setSampleFormat(campioni.bit == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    const qint64 byteAlSecondo = formato.bytesForDuration(1000000);
    if (!ServerPronto())
        return false;
    if (byteAlSecondo <= 0 || campioni.inizio < 0 || campioni.lunghezza <= 0
        || campioni.inizio + campioni.lunghezza > immagine.size())
        return false;

    // All the samples go to the server at once: the sink copies them into the stream's
    // buffer, which holds up to 4 MiB, and nothing is left to feed on a timer. Fed from a
    // buffer instead, the sink waits for its first tick (20 ms) before it writes anything,
    // and a sink made right after another one's stop sometimes never starts writing at all.
    const QAudioDevice uscita = QMediaDevices::defaultAudioOutput();
    QIODevice* flusso = nullptr;
    if (!uscita.isNull()) {
        m_sink = std::make_unique<QAudioSink>(uscita, formato);
        flusso = m_sink->start();
    }
    if (flusso) {
        flusso->write(immagine.constData() + campioni.inizio, campioni.lunghezza);
    } else {
        // Qt's client lost the server, or never had it: it cannot open anything until it
        // connects again on its own, seconds later or never.
        m_sink.reset();
#ifdef IDROVELA_SONDA_PULSE
        if (!m_riserva.Suona(immagine, campioni, AttesaServerMs))
            return false;
#else
        return false;
#endif
    }
    const qint64 durataMs = campioni.lunghezza * 1000 / byteAlSecondo;
    m_fine.start(int(qMin<qint64>(durataMs + CodaMs, std::numeric_limits<int>::max())));
    return true;
}

void Lettore::Ferma()
{
    m_fine.stop();
#ifdef IDROVELA_SONDA_PULSE
    m_riserva.Ferma();
#endif
    if (!m_sink)
        return;
    // Its Stopped state also follows this stop, so it never means that the sound has ended.
    // Qt's PulseAudio sink runs the thread's pending events from its destructor: requests
    // posted meanwhile may run inside this call, still in their order.
    m_sink->stop();
    m_sink.reset();
}
