// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerX.h"

#include <QDeadlineTimer>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Xvfb writes its display number to this descriptor once it accepts connections.
QByteArray LeggiDisplay(int fd)
{
    QByteArray numero;
    QDeadlineTimer scadenza(10000);
    while (!scadenza.hasExpired()) {
        pollfd attesa { fd, POLLIN, 0 };
        if (poll(&attesa, 1, int(scadenza.remainingTime())) <= 0)
            break;
        char c = 0;
        if (read(fd, &c, 1) != 1 || c == '\n')
            break;
        numero += c;
    }
    return numero.isEmpty() ? QByteArray() : ":" + numero;
}

} // namespace

ServerX::ServerX(int larghezza, int altezza)
{
    const std::string schermo = std::to_string(larghezza) + "x" + std::to_string(altezza) + "x24";
    int tubo[2];
    if (pipe(tubo) != 0)
        return;
    m_pid = fork();
    if (m_pid == 0) {
        close(tubo[0]);
        // Its chatter about fonts and keyboard maps would drown the table.
        const int nulla = open("/dev/null", O_WRONLY);
        dup2(nulla, STDERR_FILENO);
        const std::string fd = std::to_string(tubo[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", schermo.c_str(),
            "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(tubo[1]);
    if (m_pid > 0)
        m_display = LeggiDisplay(tubo[0]);
    close(tubo[0]);
}

ServerX::~ServerX()
{
    if (m_pid <= 0)
        return;
    kill(m_pid, SIGTERM);
    waitpid(m_pid, nullptr, 0);
}
