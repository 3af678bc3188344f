// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// Reads the header of a RIFF WAVE image held in memory and finds its samples, without
// copying them and without reading a byte outside the image. Plain C++, so that every
// window's sound routine checks an image the same way before a player trusts it.
class LettoreWave {
public:
    // Uncompressed PCM samples that a sound device can take as they are.
    struct Campioni {
        int canali = 0; // 1 or 2
        int frequenza = 0; // frames per second
        int bit = 0; // 8 (unsigned) or 16 (signed) per sample
        std::ptrdiff_t inizio = 0; // offset of the first sample within the image
        std::ptrdiff_t lunghezza = 0; // bytes of whole frames, at least one
    };

    // Nothing when the image is malformed, truncated, declares more bytes than it holds,
    // or is not PCM of 8 or 16 bits on one or two channels.
    static std::optional<Campioni> Leggi(std::string_view immagine);
    static std::optional<Campioni> Leggi(const char* dati, std::ptrdiff_t dimensione)
    {
        return dati && dimensione > 0 ? Leggi(std::string_view(dati, std::size_t(dimensione)))
                                      : std::nullopt;
    }
};
