// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figlio.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

qint64 Adesso()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

namespace {

QByteArray Leggi(const QString& percorso)
{
    QFile file(percorso);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number after "nome:" in a /proc status file, or -1.
qint64 Campo(const QByteArray& status, const QByteArray& nome)
{
    for (const QByteArray& riga : status.split('\n'))
        if (riga.startsWith(nome + ':'))
            return riga.mid(nome.size() + 1).trimmed().split(' ').first().toLongLong();
    return -1;
}

} // namespace

Figlio::Figlio(const QString& programma, const QStringList& argomenti)
    : m_programma(programma)
    , m_argomenti(argomenti)
{
}

Figlio::~Figlio()
{
    Termina();
}

bool Figlio::Avvia()
{
    // Everything exec needs is prepared before the clock starts.
    std::vector<QByteArray> parole { QFile::encodeName(m_programma) };
    for (const QString& argomento : m_argomenti)
        parole.push_back(argomento.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& parola : parole)
        argv.push_back(parola.data());
    argv.push_back(nullptr);

    m_avvio = Adesso();
    m_pid = fork();
    if (m_pid == 0) {
        const int nulla = open("/dev/null", O_RDWR);
        dup2(nulla, STDIN_FILENO);
        dup2(nulla, STDOUT_FILENO);
        dup2(nulla, STDERR_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    return m_pid > 0;
}

bool Figlio::Vivo()
{
    if (m_pid <= 0)
        return false;
    if (waitpid(m_pid, nullptr, WNOHANG) == 0)
        return true;
    m_pid = -1;
    return false;
}

long Figlio::PiccoMemoriaKb() const
{
    return long(Campo(Leggi(QStringLiteral("/proc/%1/status").arg(m_pid)), "VmHWM"));
}

std::vector<Figlio::Filo> Figlio::Fili() const
{
    std::vector<Filo> fili;
    const QString cartella = QStringLiteral("/proc/%1/task").arg(m_pid);
    for (const QString& tid : QDir(cartella).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString base = cartella + QLatin1Char('/') + tid + QLatin1Char('/');
        const QByteArray status = Leggi(base + QStringLiteral("status"));
        const QList<QByteArray> schedstat = Leggi(base + QStringLiteral("schedstat")).split(' ');
        if (status.isEmpty() || schedstat.size() < 3)
            continue; // the thread ended meanwhile
        Filo filo;
        filo.tid = tid.toInt();
        filo.nome = QString::fromLocal8Bit(Leggi(base + QStringLiteral("comm")).trimmed());
        filo.cpuNs = schedstat.at(0).toLongLong();
        filo.risvegli = Campo(status, "voluntary_ctxt_switches");
        filo.preemption = Campo(status, "nonvoluntary_ctxt_switches");
        fili.push_back(filo);
    }
    return fili;
}

double Figlio::CpuStatMs() const
{
    // The name in brackets may hold spaces; the fields are counted after its closing bracket.
    const QByteArray stat = Leggi(QStringLiteral("/proc/%1/stat").arg(m_pid));
    const QList<QByteArray> campi = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (campi.size() < 13)
        return -1;
    const double tick = double(sysconf(_SC_CLK_TCK));
    // utime and stime are the 14th and 15th fields, the 12th and 13th after the name.
    return (campi.at(11).toDouble() + campi.at(12).toDouble()) * 1000.0 / tick;
}

void Figlio::Termina(int attesaMs)
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    for (int atteso = 0; atteso < attesaMs; atteso += 10) {
        if (waitpid(m_pid, nullptr, WNOHANG) != 0) {
            m_pid = -1;
            return;
        }
        usleep(10000);
    }
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}
