// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServizioSuono.h"

#include "FiltroMessaggi.h"
#include "Lettore.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cstdio>
#include <cstdlib>

namespace {
// How long the way out may wait for a sound server that does not answer.
constexpr int AttesaChiusuraMs = 500;
#ifdef __GLIBC__
// exit() would go on to destroy Qt's PulseAudio clients, which disconnect without holding their
// lock: a notice from the server that comes in meanwhile (a stream that ends brings some)
// crashes the process inside the PulseAudio client, 4 exits in 300 right after a stop. The sound
// stopped, the program has nothing left to save (it writes nothing), so the process ends here,
// with the status exit() was given and the standard streams flushed.
[[noreturn]] void FineDelProcesso(int stato, void*)
{
    ServizioSuono::Istanza().Chiudi();
    std::fflush(nullptr);
    std::_Exit(stato);
}
#else
void FineDelProcesso()
{
    ServizioSuono::Istanza().Chiudi();
}
#endif

// exit() runs its handlers in the reverse order of their registration. Qt makes one client
// when the devices are first asked for and another when the first sink starts: registered
// after each, this handler runs before either is destroyed. Sound thread only.
void FermaPrimaDellUscita(bool& registrato)
{
    if (registrato)
        return;
#ifdef __GLIBC__
    registrato = on_exit(&FineDelProcesso, nullptr) == 0;
#else
    registrato = std::atexit(&FineDelProcesso) == 0;
#endif
}
bool dopoIDispositivi = false;
bool dopoIlPrimoSink = false;
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
    Lettore* lettore = m_lettore.get();
    QMetaObject::invokeMethod(
        lettore,
        [lettore] {
            lettore->Prepara();
            FermaPrimaDellUscita(dopoIDispositivi);
        },
        Qt::QueuedConnection);
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
            FermaPrimaDellUscita(dopoIlPrimoSink);
    }
    m_inServizio = false;
}

bool ServizioSuono::InAttesa()
{
    const std::lock_guard blocco(m_mutex);
    return m_servizioInArrivo;
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
    // A wait for the server's answer ends now rather than hold up the way out. The stop and the
    // end of the thread's loop are one event: no request can run between them.
    Lettore::Interrompi();
    Lettore* lettore = m_lettore.get();
    QMetaObject::invokeMethod(
        lettore,
        [lettore] {
            lettore->Ferma();
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
