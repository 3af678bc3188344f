// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <sys/types.h>
#include <vector>

// A program under measurement, started by fork and exec so that the moment of its start is
// known to the nanosecond, and read from outside through /proc while it runs. Killed and
// reaped when destroyed.
class Figlio {
public:
    Figlio(const QString& programma, const QStringList& argomenti = {});
    ~Figlio();
    Figlio(const Figlio&) = delete;
    Figlio& operator=(const Figlio&) = delete;

    // Starts it with its output thrown away; false if it could not be started.
    bool Avvia();
    // CLOCK_MONOTONIC, in nanoseconds, just before the fork.
    qint64 Avvio() const { return m_avvio; }
    pid_t Pid() const { return m_pid; }
    bool Vivo();

    // The peak of its resident memory so far (VmHWM), in KiB; -1 when unreadable.
    long PiccoMemoriaKb() const;

    // One thread as the scheduler sees it.
    struct Filo {
        int tid = 0;
        QString nome;
        qint64 cpuNs = 0; // time spent running
        qint64 risvegli = 0; // voluntary context switches: each one a sleep that ended in a wake-up
        qint64 preemption = 0; // involuntary context switches
    };
    std::vector<Filo> Fili() const;
    // User and system time of the whole process, from /proc/<pid>/stat, in milliseconds (its
    // resolution is the kernel's clock tick, 10 ms here).
    double CpuStatMs() const;

    // Asks it to end, kills it if it has not ended within the time, and reaps it.
    void Termina(int attesaMs = 2000);

private:
    QString m_programma;
    QStringList m_argomenti;
    pid_t m_pid = -1;
    qint64 m_avvio = 0;
};

// CLOCK_MONOTONIC in nanoseconds: every time of the benchmark is on this clock.
qint64 Adesso();
