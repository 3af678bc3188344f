// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>

#include <optional>

// Reads the header of a RIFF WAVE image held in memory and finds its samples, without
// copying them and without reading a byte outside the image.
class LettoreWave {
public:
    // Uncompressed PCM samples that a sound device can take as they are.
    struct Campioni {
        int canali = 0; // 1 or 2
        int frequenza = 0; // frames per second
        int bit = 0; // 8 (unsigned) or 16 (signed) per sample
        qsizetype inizio = 0; // offset of the first sample within the image
        qsizetype lunghezza = 0; // bytes of whole frames, at least one
    };

    // Nothing when the image is malformed, truncated, declares more bytes than it holds,
    // or is not PCM of 8 or 16 bits on one or two channels.
    static std::optional<Campioni> Leggi(QByteArrayView immagine);
};
