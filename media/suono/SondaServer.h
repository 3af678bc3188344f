// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Asks the PulseAudio server for a connection and waits for its answer, within a bound. Qt's
// client waits for that answer without one: a server that takes the connection and never
// answers would hold the sound thread, and the program's exit, for half a minute.
class SondaServer {
public:
    // True once the server has answered. Runs on the sound thread.
    static bool Risponde(int ms);
    // Ends a wait in progress at once, from any thread; later waits end at once too.
    static void Interrompi();
};
