// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <sys/types.h>

// A private Xvfb, 1024 x 768 unless told, on a display number of its own, with no window
// manager; the end-to-end tests add one. Stopped when destroyed.
class ServerX {
public:
    explicit ServerX(int larghezza = 1024, int altezza = 768);
    ~ServerX();
    ServerX(const ServerX&) = delete;
    ServerX& operator=(const ServerX&) = delete;

    // ":N" once the server accepts connections; empty when it did not start.
    QByteArray display() const { return m_display; }

private:
    pid_t m_pid = -1;
    QByteArray m_display;
};
