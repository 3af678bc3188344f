// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

// Builds WAVE images chunk by chunk, well formed or deliberately not.
class CostruttoreWave {
public:
    // A chunk with its header, followed by a pad byte when its size is odd.
    static QByteArray Chunk(const char* id, const QByteArray& corpo);
    // The same with a size field that says whatever it is told.
    static QByteArray ChunkConDimensione(
        const char* id, quint32 dimensione, const QByteArray& corpo);
    // The 16 bytes of a format chunk's body; allineamento 0 means the right one.
    static QByteArray CorpoFmt(
        quint16 tag, quint16 canali, quint32 frequenza, quint16 bit, quint16 allineamento = 0);
    // "RIFF", the size of the rest, "WAVE" and the chunks.
    static QByteArray Riff(const QByteArray& chunks);
    static QByteArray Wave(quint16 canali, quint32 frequenza, quint16 bit, const QByteArray& dati);
    // Bursts of band-limited noise, each starting sharply, the same for every seed: a sound
    // whose start and end a recording can find again. Every channel carries the same signal.
    static QByteArray Rumore(
        double secondi, quint16 canali, quint32 frequenza, quint16 bit, quint32 seme);
};
