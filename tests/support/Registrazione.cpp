// SPDX-License-Identifier: GPL-3.0-or-later
#include "Registrazione.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QtEndian>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr int Blocco = 64; // samples parec hands over at a time, about 6 ms
} // namespace

Registrazione::Registrazione(QString monitor)
    : m_monitor(std::move(monitor))
{
}

Registrazione::~Registrazione()
{
    Ferma();
}

qint64 Registrazione::Adesso()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

bool Registrazione::Avvia()
{
    int tubo[2];
    if (pipe(tubo) != 0) {
        m_errore = QStringLiteral("no pipe for parec");
        return false;
    }
    const std::string dispositivo = "--device=" + m_monitor.toStdString();
    const std::string frequenza = "--rate=" + std::to_string(Frequenza);
    m_pid = fork();
    if (m_pid == 0) {
        close(tubo[0]);
        dup2(tubo[1], STDOUT_FILENO);
        close(tubo[1]);
        execlp("parec", "parec", "--raw", dispositivo.c_str(), "--format=s16le", frequenza.c_str(),
            "--channels=1", "--latency-msec=5", "--process-time-msec=2",
            static_cast<char*>(nullptr));
        _exit(127);
    }
    close(tubo[1]);
    if (m_pid < 0) {
        close(tubo[0]);
        m_errore = QStringLiteral("parec does not start");
        return false;
    }
    m_fd = tubo[0];
    m_lettore = std::thread([this] { Leggi(); });

    // Steady once a tenth of a second's worth takes most of a tenth of a second to come.
    QDeadlineTimer scadenza(10000);
    while (!scadenza.hasExpired() && !m_finito) {
        const qint64 inizio = Adesso();
        if (!AttendiLunghezza(
                qMax<qsizetype>(1, Lunghezza() + Frequenza / 10), int(scadenza.remainingTime())))
            break;
        if (Adesso() - inizio >= 80000000)
            return true;
    }
    m_errore = QStringLiteral("parec records nothing steady from ") + m_monitor;
    return false;
}

void Registrazione::Leggi()
{
    qint16 dati[Blocco];
    for (;;) {
        const ssize_t letti = read(m_fd, dati, sizeof dati);
        const qint64 arrivo = Adesso();
        if (letti < 0 && errno == EINTR)
            continue;
        if (letti <= 0)
            break;
        const std::lock_guard blocco(m_mutex);
        for (ssize_t i = 0; i < letti / 2; ++i) {
            m_campioni.append(qFromLittleEndian(dati[i]) / 32768.0f);
            m_arrivi.append(arrivo);
        }
    }
    m_finito = true;
}

QVector<float> Registrazione::Ferma()
{
    if (m_pid > 0) {
        kill(m_pid, SIGTERM);
        waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
    if (m_lettore.joinable())
        m_lettore.join();
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
    return Campioni();
}

qsizetype Registrazione::Lunghezza() const
{
    const std::lock_guard blocco(m_mutex);
    return m_campioni.size();
}

QVector<float> Registrazione::Campioni(qsizetype da) const
{
    const std::lock_guard blocco(m_mutex);
    return da < m_campioni.size() ? m_campioni.mid(da) : QVector<float>();
}

QVector<qint64> Registrazione::Arrivi(qsizetype da) const
{
    const std::lock_guard blocco(m_mutex);
    return da < m_arrivi.size() ? m_arrivi.mid(da) : QVector<qint64>();
}

template <typename Condizione> bool Registrazione::Attendi(Condizione condizione, int attesaMs)
{
    QDeadlineTimer scadenza(attesaMs);
    for (;;) {
        if (condizione())
            return true;
        if (scadenza.hasExpired() || m_finito)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2); // a poll interval: a block is 6 ms of sound
    }
}

bool Registrazione::AttendiLunghezza(qsizetype n, int attesaMs)
{
    return Attendi([&] { return Lunghezza() >= n; }, attesaMs);
}

qsizetype Registrazione::AttendiSuono(qsizetype da, float soglia, int attesaMs)
{
    qsizetype trovato = -1;
    qsizetype visti = da;
    Attendi(
        [&] {
            const std::lock_guard blocco(m_mutex);
            for (; visti < m_campioni.size(); ++visti)
                if (qAbs(m_campioni[visti]) > soglia) {
                    trovato = visti;
                    return true;
                }
            return false;
        },
        attesaMs);
    return trovato;
}

qsizetype Registrazione::AttendiSilenzio(qsizetype da, qsizetype durata, float soglia, int attesaMs)
{
    qsizetype inizio = da;
    qsizetype visti = da;
    qsizetype trovato = -1;
    Attendi(
        [&] {
            const std::lock_guard blocco(m_mutex);
            for (; visti < m_campioni.size(); ++visti) {
                if (qAbs(m_campioni[visti]) > soglia)
                    inizio = visti + 1;
                else if (visti + 1 - inizio >= durata) {
                    trovato = inizio;
                    return true;
                }
            }
            return false;
        },
        attesaMs);
    return trovato;
}
