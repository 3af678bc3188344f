// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServizioSuono.h"

#include "FiltroMessaggi.h"
#include "Lettore.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cstdlib>

namespace {
// How long the way out may wait for a sound server that does not answer.
constexpr int AttesaChiusuraMs = 500;

void ChiudiAllUscita()
{
    ServizioSuono::Istanza().Chiudi();
}

// exit() destroys the multimedia library's globals in the reverse order of their making, and
// the sound client's own is made when the first sink starts. Registered after that, the stop
// runs before it: a sink that outlives it crashes the program on its way out.
void FermaPrimaDellUscita()
{
    static bool registrato = false; // sound thread only
    if (!registrato)
        registrato = std::atexit(&ChiudiAllUscita) == 0;
}
} // namespace

ServizioSuono& ServizioSuono::Istanza()
{
    static ServizioSuono servizio;
    return servizio;
}

ServizioSuono::~ServizioSuono()
{
    Chiudi();
}

bool ServizioSuono::Avvia()
{
    if (m_chiuso)
        return false;
    if (m_thread)
        return true;
    FiltroMessaggi::Installa();
    m_thread = std::make_unique<QThread>();
    m_thread->setObjectName(QStringLiteral("idrovela-suono"));
    QObject::connect(
        m_thread.get(), &QThread::started, [] { FiltroMessaggi::SegnaThreadCorrente(); });
    m_lettore = std::make_unique<Lettore>();
    m_lettore->moveToThread(m_thread.get());
    m_thread->start();
    return true;
}

void ServizioSuono::Prepara()
{
    if (!Avvia())
        return;
    QMetaObject::invokeMethod(m_lettore.get(), &Lettore::Prepara, Qt::QueuedConnection);
}

void ServizioSuono::Suona(const QByteArray& immagine, const LettoreWave::Campioni& campioni)
{
    if (!Avvia())
        return;
    Chiedi({ immagine, campioni });
}

void ServizioSuono::Ferma()
{
    if (!m_thread || m_chiuso)
        return;
    Chiedi({});
}

void ServizioSuono::Chiedi(Richiesta richiesta)
{
    {
        const std::lock_guard blocco(m_mutex);
        m_richiesta = std::move(richiesta); // the one before it would be cut at once anyway
        if (m_servizioInArrivo)
            return;
        m_servizioInArrivo = true;
    }
    QMetaObject::invokeMethod(
        m_lettore.get(), [this] { Servi(); }, Qt::QueuedConnection);
}

void ServizioSuono::Servi()
{
    // Stopping a sink runs the thread's pending events, this call among them: the loop below
    // takes whatever came meanwhile.
    if (m_inServizio)
        return;
    m_inServizio = true;
    for (;;) {
        std::optional<Richiesta> richiesta;
        {
            const std::lock_guard blocco(m_mutex);
            richiesta.swap(m_richiesta);
            if (!richiesta) {
                m_servizioInArrivo = false;
                break;
            }
        }
        if (richiesta->immagine.isEmpty())
            m_lettore->Ferma();
        else if (m_lettore->Suona(richiesta->immagine, richiesta->campioni))
            FermaPrimaDellUscita();
    }
    m_inServizio = false;
}

void ServizioSuono::Chiudi()
{
    if (m_chiuso)
        return;
    m_chiuso = true;
    if (!m_thread)
        return;
    {
        const std::lock_guard blocco(m_mutex);
        m_richiesta.reset(); // nothing starts after the stop
    }
    // The stop and the end of the thread's loop are one event, so nothing queued before them
    // can start a sound after the stop.
    Lettore* lettore = m_lettore.get();
    QMetaObject::invokeMethod(
        lettore,
        [lettore] {
            if (lettore->Ferma())
                QThread::msleep(50);
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
    if (m_thread->wait(QDeadlineTimer(AttesaChiusuraMs))) {
        m_lettore.reset();
        m_thread.reset();
        return;
    }
    // The thread is stuck in the sound client. Destroying a running thread would abort the
    // program, so both are left to the end of the process.
    static_cast<void>(m_lettore.release());
    static_cast<void>(m_thread.release());
}
