// SPDX-License-Identifier: GPL-3.0-or-later
#include "SondaServer.h"

#include <QDeadlineTimer>

#include <pulse/context.h>
#include <pulse/mainloop.h>

#include <atomic>
#include <mutex>

namespace {
std::mutex mutex;
pa_mainloop* cicloInCorso = nullptr; // under mutex
std::atomic<bool> interrotto { false };

bool Attendi(pa_mainloop* ciclo, pa_context* contesto, const QDeadlineTimer& scadenza)
{
    for (;;) {
        const pa_context_state_t stato = pa_context_get_state(contesto);
        if (stato == PA_CONTEXT_READY)
            return true;
        if (!PA_CONTEXT_IS_GOOD(stato) || scadenza.hasExpired() || interrotto)
            return false;
        const int attesaUs = int(qMin<qint64>(scadenza.remainingTimeNSecs() / 1000, 1000000));
        if (pa_mainloop_prepare(ciclo, attesaUs) < 0 || pa_mainloop_poll(ciclo) < 0
            || pa_mainloop_dispatch(ciclo) < 0)
            return false;
    }
}
} // namespace

bool SondaServer::Risponde(int ms)
{
    if (interrotto)
        return false;
    pa_mainloop* ciclo = pa_mainloop_new();
    if (!ciclo)
        return false;
    {
        const std::lock_guard blocco(mutex);
        cicloInCorso = ciclo;
    }
    bool risponde = false;
    // The same connection Qt's client makes, server and spawning left to the configuration.
    if (pa_context* contesto = pa_context_new(pa_mainloop_get_api(ciclo), "idrovela")) {
        if (pa_context_connect(contesto, nullptr, PA_CONTEXT_NOFLAGS, nullptr) >= 0) {
            risponde = Attendi(ciclo, contesto, QDeadlineTimer(ms));
            pa_context_disconnect(contesto);
        }
        pa_context_unref(contesto);
    }
    {
        const std::lock_guard blocco(mutex);
        cicloInCorso = nullptr;
    }
    pa_mainloop_free(ciclo);
    return risponde;
}

void SondaServer::Interrompi()
{
    interrotto = true;
    const std::lock_guard blocco(mutex);
    if (cicloInCorso)
        pa_mainloop_wakeup(cicloInCorso);
}
