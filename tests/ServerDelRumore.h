// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

// Tests that play without listening (the soaks) use the second sound server that
// tools/with-sound-server.sh starts, so that they neither play into the recordings of the
// sound tests nor wait for them. Called first thing in main(), before any sound; programs
// started from then on inherit the choice.
inline void UsaIlServerDelRumore()
{
    const QByteArray server = qgetenv("IDROVELA_SERVER_RUMORE");
    if (!server.isEmpty())
        qputenv("PULSE_SERVER", server);
}
