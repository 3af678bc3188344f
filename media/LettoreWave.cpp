// SPDX-License-Identifier: GPL-3.0-or-later
#include "LettoreWave.h"

#include <QtEndian>

#include <cstring>

namespace {

// Beyond what any sound server takes; a header that claims more is damaged.
constexpr quint32 FrequenzaMassima = 384000;
constexpr quint16 FormatoPcm = 1;

struct Formato {
    quint16 tag = 0;
    quint16 canali = 0;
    quint32 frequenza = 0;
    quint16 allineamento = 0;
    quint16 bit = 0;
};

quint16 Parola(const char* p)
{
    return qFromLittleEndian<quint16>(p);
}
quint32 DoppiaParola(const char* p)
{
    return qFromLittleEndian<quint32>(p);
}
bool Etichetta(const char* p, const char* nome)
{
    return std::memcmp(p, nome, 4) == 0;
}

std::optional<Formato> LeggiFormato(const char* p, quint32 dimensione)
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

std::optional<LettoreWave::Campioni> LettoreWave::Leggi(QByteArrayView immagine)
{
    const char* base = immagine.data();
    const qsizetype dimensione = immagine.size();
    if (dimensione < 12 || !Etichetta(base, "RIFF") || !Etichetta(base + 8, "WAVE"))
        return std::nullopt;

    // A player that gets only a pointer trusts these sizes, so an image that claims more
    // than it holds is refused rather than clipped. Bytes after the RIFF chunk are ignored.
    const qint64 fine = qint64(DoppiaParola(base + 4)) + 8;
    if (fine > dimensione || fine < 12)
        return std::nullopt;

    std::optional<Formato> formato;
    qint64 inizioDati = -1;
    qint64 lunghezzaDati = 0;
    for (qint64 pos = 12; pos + 8 <= fine && !(formato && inizioDati >= 0);) {
        const char* intestazione = base + pos;
        const quint32 lunghezza = DoppiaParola(intestazione + 4);
        const qint64 corpo = pos + 8;
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
    const qint64 interi = lunghezzaDati - lunghezzaDati % formato->allineamento;
    if (interi == 0)
        return std::nullopt;

    Campioni campioni;
    campioni.canali = formato->canali;
    campioni.frequenza = int(formato->frequenza);
    campioni.bit = formato->bit;
    campioni.inizio = qsizetype(inizioDati);
    campioni.lunghezza = qsizetype(interi);
    return campioni;
}
