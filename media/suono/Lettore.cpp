// SPDX-License-Identifier: GPL-3.0-or-later
#include "Lettore.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <limits>

#include <cstdio>
#include <QElapsedTimer>
static FILE* dbg() { static FILE* f = fopen("/tmp/suono/lettore.log", "a"); return f; }
static QElapsedTimer& orologio() { static QElapsedTimer t; if (!t.isValid()) t.start(); return t; }
static int profondita = 0;
namespace {
// Longer than the sound server takes to start a stream and play out what it holds.
constexpr int CodaMs = 500;
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

void Lettore::Prepara()
{
    QMediaDevices::defaultAudioOutput();
}

bool Lettore::Suona(const QByteArray& immagine, const LettoreWave::Campioni& campioni)
{
    ++profondita;
    fprintf(dbg(), "%lld suona in depth %d sink %p\n", (long long)orologio().elapsed(), profondita, (void*)m_sink.get()); fflush(dbg());
    Ferma();

    QAudioFormat formato;
    formato.setSampleRate(campioni.frequenza);
    formato.setChannelCount(campioni.canali);
    formato.setSampleFormat(campioni.bit == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    const QAudioDevice uscita = QMediaDevices::defaultAudioOutput();
    if (uscita.isNull() || campioni.inizio < 0 || campioni.lunghezza <= 0
        || campioni.inizio + campioni.lunghezza > immagine.size())
        return false;

    // All the samples go to the server at once: the sink copies them into the stream's
    // buffer, which holds up to 4 MiB, and nothing is left to feed on a timer. Fed from a
    // buffer instead, the sink waits for its first tick (20 ms) before it writes anything,
    // and a sink made right after another one's stop sometimes never starts writing at all.
    m_sink = std::make_unique<QAudioSink>(uscita, formato);
    if (QIODevice* flusso = m_sink->start())
        flusso->write(immagine.constData() + campioni.inizio, campioni.lunghezza);
    const qint64 durataMs = campioni.lunghezza * 1000 / formato.bytesForDuration(1000000);
    m_fine.start(int(qMin<qint64>(durataMs + CodaMs, std::numeric_limits<int>::max())));
    fprintf(dbg(), "%lld suona out depth %d sink %p state %d\n", (long long)orologio().elapsed(), profondita, (void*)m_sink.get(), m_sink->state()); fflush(dbg());
    --profondita;
    return true;
}

bool Lettore::Ferma()
{
    m_fine.stop();
    fprintf(dbg(), "%lld ferma depth %d sink %p\n", (long long)orologio().elapsed(), profondita, (void*)m_sink.get()); fflush(dbg());
    if (!m_sink)
        return false;
    // Its Stopped state also follows this stop, so it never means that the sound has ended.
    m_sink->stop();
    m_sink.reset();
    return true;
}
