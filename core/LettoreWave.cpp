// SPDX-License-Identifier: GPL-3.0-or-later
#include "LettoreWave.h"

#include <cstdint>
#include <cstring>

namespace {

// Beyond what any sound server takes; a header that claims more is damaged.
constexpr std::uint32_t FrequenzaMassima = 384000;
constexpr std::uint16_t FormatoPcm = 1;

struct Formato {
    std::uint16_t tag = 0;
    std::uint16_t canali = 0;
    std::uint32_t frequenza = 0;
    std::uint16_t allineamento = 0;
    std::uint16_t bit = 0;
};

// Byte by byte, so that the value does not depend on the host's byte order or alignment.
std::uint16_t Parola(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint16_t(b[0] | b[1] << 8);
}
std::uint32_t DoppiaParola(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16
        | std::uint32_t(b[3]) << 24;
}
bool Etichetta(const char* p, const char* nome)
{
    return std::memcmp(p, nome, 4) == 0;
}

std::optional<Formato> LeggiFormato(const char* p, std::uint32_t dimensione)
{
    // The 16 bytes of a PCM format; a longer chunk (WAVEFORMATEX) only adds fields after them.
    if (dimensione < 16)
        return std::nullopt;
    Formato f;
    f.tag = Parola(p);
    f.canali = Parola(p + 2);
    f.frequenza = DoppiaParola(p + 4);
    // p + 8 holds the bytes per second, which nothing needs: the frame size and the
    // frequency already say it.
    f.allineamento = Parola(p + 12);
    f.bit = Parola(p + 14);
    return f;
}

bool Riproducibile(const Formato& f)
{
    return f.tag == FormatoPcm && (f.canali == 1 || f.canali == 2) && f.frequenza > 0
        && f.frequenza <= FrequenzaMassima && (f.bit == 8 || f.bit == 16)
        && f.allineamento == f.canali * (f.bit / 8);
}

} // namespace

std::optional<LettoreWave::Campioni> LettoreWave::Leggi(std::string_view immagine)
{
    const char* base = immagine.data();
    const auto dimensione = std::int64_t(immagine.size());
    if (dimensione < 12 || !Etichetta(base, "RIFF") || !Etichetta(base + 8, "WAVE"))
        return std::nullopt;

    // A player that gets only a pointer trusts these sizes, so an image that claims more
    // than it holds is refused rather than clipped. Bytes after the RIFF chunk are ignored.
    const std::int64_t fine = std::int64_t(DoppiaParola(base + 4)) + 8;
    if (fine > dimensione || fine < 12)
        return std::nullopt;

    std::optional<Formato> formato;
    std::int64_t inizioDati = -1;
    std::int64_t lunghezzaDati = 0;
    for (std::int64_t pos = 12; pos + 8 <= fine && !(formato && inizioDati >= 0);) {
        const char* intestazione = base + pos;
        const std::uint32_t lunghezza = DoppiaParola(intestazione + 4);
        const std::int64_t corpo = pos + 8;
        if (corpo + lunghezza > fine)
            return std::nullopt;
        if (Etichetta(intestazione, "fmt ")) {
            if (formato)
                return std::nullopt; // two formats: which one would the samples follow?
            formato = LeggiFormato(base + corpo, lunghezza);
            if (!formato)
                return std::nullopt;
        } else if (Etichetta(intestazione, "data")) {
            if (inizioDati >= 0)
                return std::nullopt;
            inizioDati = corpo;
            lunghezzaDati = lunghezza;
        }
        // Chunks start on even offsets: an odd-sized one is followed by a pad byte, which
        // may be missing only at the very end.
        pos = corpo + lunghezza + (lunghezza & 1);
    }

    if (!formato || inizioDati < 0 || !Riproducibile(*formato))
        return std::nullopt;
    // A trailing partial frame cannot be played; it is left out.
    const std::int64_t interi = lunghezzaDati - lunghezzaDati % formato->allineamento;
    if (interi == 0)
        return std::nullopt;

    Campioni campioni;
    campioni.canali = formato->canali;
    campioni.frequenza = int(formato->frequenza);
    campioni.bit = formato->bit;
    campioni.inizio = std::ptrdiff_t(inizioDati);
    campioni.lunghezza = std::ptrdiff_t(interi);
    return campioni;
}
