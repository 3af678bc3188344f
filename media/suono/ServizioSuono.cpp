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
// A stream that ends makes the server tell its clients that the sink has changed, and Qt's
// sound client answers with a request of its own. On exit it disconnects without holding its
// lock: a notice that comes in meanwhile crashes the program inside the PulseAudio client (4 of
// 300 exits right after a stop did). Once a stream is stopped, the way out leaves the notices
// this much time.
constexpr int AttesaAvvisiMs = 50;

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
    Lettore* lettore = m_lettore.get();
    QMetaObject::invokeMethod(
        lettore,
        [=] {
            if (lettore->Suona(immagine, campioni))
                FermaPrimaDellUscita();
        },
        Qt::QueuedConnection);
}

void ServizioSuono::Ferma()
{
    if (!m_thread || m_chiuso)
        return;
    QMetaObject::invokeMethod(m_lettore.get(), &Lettore::Ferma, Qt::QueuedConnection);
}

void ServizioSuono::Chiudi()
{
    if (m_chiuso)
        return;
    m_chiuso = true;
    if (!m_thread)
        return;
    // The stop and the end of the thread's loop are one event: no request can run between them.
    Lettore* lettore = m_lettore.get();
    QMetaObject::invokeMethod(
        lettore,
        [lettore] {
            if (lettore->Ferma())
                QThread::msleep(AttesaAvvisiMs);
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
