// SPDX-License-Identifier: GPL-3.0-or-later
#include "CorpusWave.h"

#include "CostruttoreWave.h"

#include <QtEndian>

namespace {

using C = CostruttoreWave;

QByteArray Campioni(int n)
{
    QByteArray dati(n, '\0');
    for (int i = 0; i < n; ++i)
        dati[i] = char(128 + (i * 37) % 50 - 25);
    return dati;
}

QByteArray Formato(
    quint16 tag, quint16 canali, quint32 frequenza, quint16 bit, quint16 allineamento = 0)
{
    return C::Chunk("fmt ", C::CorpoFmt(tag, canali, frequenza, bit, allineamento));
}

QByteArray ConDimensioneRiff(QByteArray immagine, quint32 dimensione)
{
    qToLittleEndian(dimensione, immagine.data() + 4);
    return immagine;
}

} // namespace

QList<std::pair<QString, QByteArray>> CorpusWave()
{
    const QByteArray dati = Campioni(48);
    const QByteArray mono8 = Formato(1, 1, 11025, 8);
    const QByteArray buono = C::Wave(1, 11025, 8, dati);
    QByteArray fact(4, '\0');
    qToLittleEndian(quint32(47), fact.data());

    return {
        // Taken.
        { "mono-8-bit.wav", buono },
        { "stereo-16-bit.wav", C::Wave(2, 22050, 16, Campioni(64)) },
        { "fact-and-pad-byte.wav",
            C::Riff(mono8 + C::Chunk("fact", fact) + C::Chunk("data", Campioni(47))) },
        { "data-before-format.wav", C::Riff(C::Chunk("data", dati) + mono8) },
        { "list-before-format.wav",
            C::Riff(C::Chunk("LIST", QByteArray("INFOISFT\x04\0\0\0abcd", 16)) + mono8
                + C::Chunk("data", dati)) },
        { "format-of-18-bytes.wav",
            C::Riff(C::Chunk("fmt ", C::CorpoFmt(1, 2, 8000, 16) + QByteArray(2, '\0'))
                + C::Chunk("data", Campioni(40))) },
        { "bytes-after-riff.wav", buono + QByteArray("coda", 4) },
        { "partial-frame.wav", C::Wave(2, 44100, 16, Campioni(4 * 5 + 3)) },
        // Refused.
        { "empty.wav", QByteArray() },
        { "header-only.wav", C::Riff({}) },
        { "cut-in-format.wav", buono.left(30) },
        { "cut-in-data.wav", buono.left(buono.size() - 9) },
        { "riff-size-beyond.wav", ConDimensioneRiff(buono, quint32(buono.size())) },
        { "riff-size-too-small.wav", ConDimensioneRiff(buono, 3) },
        { "data-size-beyond.wav", C::Riff(mono8 + C::ChunkConDimensione("data", 1000, dati)) },
        { "chunk-of-4-gib.wav", C::Riff(C::ChunkConDimensione("LIST", 0xffffffffu, dati) + mono8) },
        { "odd-chunk-without-pad.wav",
            C::Riff(C::ChunkConDimensione("junk", 3, "abc") + mono8 + C::Chunk("data", dati)) },
        { "format-of-14-bytes.wav",
            C::Riff(
                C::Chunk("fmt ", C::CorpoFmt(1, 1, 11025, 8).left(14)) + C::Chunk("data", dati)) },
        { "two-formats.wav", C::Riff(mono8 + mono8 + C::Chunk("data", dati)) },
        { "two-data-chunks.wav", C::Riff(C::Chunk("data", dati) + C::Chunk("data", dati) + mono8) },
        { "no-data.wav", C::Riff(mono8) },
        { "three-channels.wav", C::Riff(Formato(1, 3, 11025, 8) + C::Chunk("data", dati)) },
        { "24-bit.wav", C::Riff(Formato(1, 1, 11025, 24) + C::Chunk("data", dati)) },
        { "adpcm.wav", C::Riff(Formato(2, 1, 11025, 8) + C::Chunk("data", dati)) },
        { "0-hz.wav", C::Riff(Formato(1, 1, 0, 8) + C::Chunk("data", dati)) },
        { "alignment-disagrees.wav",
            C::Riff(Formato(1, 1, 11025, 16, 1) + C::Chunk("data", dati)) },
        { "empty-data.wav", C::Wave(1, 11025, 8, {}) },
    };
}
