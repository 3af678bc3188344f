// SPDX-License-Identifier: GPL-3.0-or-later
#include "RiservaPulse.h"

#include <QDeadlineTimer>

#include <pulse/context.h>
#include <pulse/stream.h>
#include <pulse/thread-mainloop.h>
#include <pulse/timeval.h>

#include <atomic>
#include <mutex>

namespace {
std::mutex mutex;
// The loop that a wait may be in; taken before the loop's lock, never while holding it.
pa_threaded_mainloop* cicloInAttesa = nullptr; // under mutex
std::atomic<bool> interrotto { false };

void Segnala(pa_threaded_mainloop* ciclo)
{
    pa_threaded_mainloop_signal(ciclo, 0);
}

struct Sveglia {
    pa_threaded_mainloop* ciclo;
    bool suonata = false;
};

// Waits, with the loop's lock held, until pronto says yes or no, the time is up or the wait is
// interrupted. pronto gives 1 for ready, -1 for failed, 0 to go on waiting.
template <typename Pronto> bool Attendi(pa_threaded_mainloop* ciclo, int ms, Pronto pronto)
{
    Sveglia sveglia { ciclo };
    pa_mainloop_api* api = pa_threaded_mainloop_get_api(ciclo);
    timeval quando {};
    pa_timeval_add(pa_gettimeofday(&quando), pa_usec_t(ms) * PA_USEC_PER_MSEC);
    pa_time_event* evento = api->time_new(
        api, &quando,
        [](pa_mainloop_api*, pa_time_event*, const timeval*, void* dati) {
            auto* s = static_cast<Sveglia*>(dati);
            s->suonata = true;
            Segnala(s->ciclo);
        },
        &sveglia);
    if (!evento)
        return false;
    int esito = 0;
    while ((esito = pronto()) == 0 && !sveglia.suonata && !interrotto)
        pa_threaded_mainloop_wait(ciclo);
    api->time_free(evento);
    return esito > 0;
}
} // namespace

RiservaPulse::~RiservaPulse()
{
    Ferma();
    if (!m_ciclo)
        return;
    {
        const std::lock_guard blocco(mutex);
        cicloInAttesa = nullptr;
    }
    pa_threaded_mainloop_lock(m_ciclo);
    if (m_contesto) {
        pa_context_set_state_callback(m_contesto, nullptr, nullptr);
        pa_context_disconnect(m_contesto);
        pa_context_unref(m_contesto);
    }
    pa_threaded_mainloop_unlock(m_ciclo);
    pa_threaded_mainloop_stop(m_ciclo);
    pa_threaded_mainloop_free(m_ciclo);
}

void RiservaPulse::Interrompi()
{
    interrotto = true;
    const std::lock_guard blocco(mutex);
    if (cicloInAttesa) {
        pa_threaded_mainloop_lock(cicloInAttesa);
        Segnala(cicloInAttesa);
        pa_threaded_mainloop_unlock(cicloInAttesa);
    }
}

// With the loop's lock held.
bool RiservaPulse::Connetti(int ms)
{
    if (m_contesto && pa_context_get_state(m_contesto) == PA_CONTEXT_READY)
        return true;
    if (m_contesto) {
        pa_context_set_state_callback(m_contesto, nullptr, nullptr);
        pa_context_disconnect(m_contesto);
        pa_context_unref(m_contesto);
    }
    m_contesto = pa_context_new(pa_threaded_mainloop_get_api(m_ciclo), "idrovela");
    if (!m_contesto)
        return false;
    pa_context_set_state_callback(
        m_contesto,
        [](pa_context*, void* ciclo) { Segnala(static_cast<pa_threaded_mainloop*>(ciclo)); },
        m_ciclo);
    if (pa_context_connect(m_contesto, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0)
        return false;
    return Attendi(m_ciclo, ms, [this] {
        const pa_context_state_t stato = pa_context_get_state(m_contesto);
        return stato == PA_CONTEXT_READY ? 1 : PA_CONTEXT_IS_GOOD(stato) ? 0 : -1;
    });
}

bool RiservaPulse::Suona(const QByteArray& immagine, const LettoreWave::Campioni& campioni, int ms)
{
    Ferma();
    if (interrotto)
        return false;
    if (!m_ciclo) {
        m_ciclo = pa_threaded_mainloop_new();
        if (!m_ciclo)
            return false;
        if (pa_threaded_mainloop_start(m_ciclo) < 0) {
            pa_threaded_mainloop_free(m_ciclo);
            m_ciclo = nullptr;
            return false;
        }
        const std::lock_guard blocco(mutex);
        cicloInAttesa = m_ciclo;
    }
    const QDeadlineTimer scadenza(ms);
    pa_threaded_mainloop_lock(m_ciclo);
    bool suona = false;
    const pa_sample_spec formato { campioni.bit == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE,
        uint32_t(campioni.frequenza), uint8_t(campioni.canali) };
    if (Connetti(ms) && pa_sample_spec_valid(&formato)) {
        m_flusso = pa_stream_new(m_contesto, "idrovela", &formato, nullptr);
        if (m_flusso) {
            pa_stream_set_state_callback(
                m_flusso,
                [](pa_stream*, void* ciclo) { Segnala(static_cast<pa_threaded_mainloop*>(ciclo)); },
                m_ciclo);
            suona = pa_stream_connect_playback(
                        m_flusso, nullptr, nullptr, PA_STREAM_NOFLAGS, nullptr, nullptr)
                    >= 0
                && Attendi(m_ciclo, int(qMax<qint64>(1, scadenza.remainingTime())),
                    [this] {
                        const pa_stream_state_t stato = pa_stream_get_state(m_flusso);
                        return stato == PA_STREAM_READY ? 1 : PA_STREAM_IS_GOOD(stato) ? 0 : -1;
                    })
                // The stream's buffer takes the whole sound at once, copied.
                && pa_stream_write(m_flusso, immagine.constData() + campioni.inizio,
                       size_t(campioni.lunghezza), nullptr, 0, PA_SEEK_RELATIVE)
                    == 0;
        }
    }
    pa_threaded_mainloop_unlock(m_ciclo);
    if (!suona)
        Ferma();
    return suona;
}

void RiservaPulse::Ferma()
{
    if (!m_flusso)
        return;
    pa_threaded_mainloop_lock(m_ciclo);
    pa_stream_set_state_callback(m_flusso, nullptr, nullptr);
    pa_stream_disconnect(m_flusso);
    pa_stream_unref(m_flusso);
    m_flusso = nullptr;
    pa_threaded_mainloop_unlock(m_ciclo);
}
