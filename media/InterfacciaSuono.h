// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LettoreWave.h"

#include <QByteArray>

// What the sound module offers to Module1. The module links the multimedia library and the
// program does not: loading it and connecting to the sound server then happen only when a
// sound is first wanted, never on the way to the first window. Every entry is called on the
// user-interface thread and returns at once unless it says otherwise.
struct InterfacciaSuono {
    static constexpr int Versione = 2;

    int versione = Versione;
    // Connects to the sound server in the background.
    void (*prepara)() = nullptr;
    // Cuts the sound that plays and starts these samples of the image. The module keeps its own
    // reference to the image until it has handed the samples to the sound server.
    void (*suona)(const QByteArray& immagine, const LettoreWave::Campioni& campioni) = nullptr;
    // Cuts the sound that plays.
    void (*ferma)() = nullptr;
    // Cuts the sound and ends the module's thread, waiting for it within a bound. Later calls
    // are silent.
    void (*chiudi)() = nullptr;
    // True while a sound or a stop asked for has yet to reach the player.
    bool (*inAttesa)() = nullptr;
};

// The module exports one function of this name and type.
using FunzioneInterfacciaSuono = const InterfacciaSuono* (*)();
inline constexpr char NomeFunzioneInterfacciaSuono[] = "idrovela_suono_interfaccia";
