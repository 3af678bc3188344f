// SPDX-License-Identifier: GPL-3.0-or-later
#include "CostruttoreWave.h"

#include <QRandomGenerator>
#include <QtEndian>

#include <cmath>

namespace {
void Aggiungi16(QByteArray& a, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    a.append(b, 2);
}

void Aggiungi32(QByteArray& a, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    a.append(b, 4);
}
} // namespace

QByteArray CostruttoreWave::ChunkConDimensione(
    const char* id, quint32 dimensione, const QByteArray& corpo)
{
    QByteArray chunk(id, 4);
    Aggiungi32(chunk, dimensione);
    chunk += corpo;
    return chunk;
}

QByteArray CostruttoreWave::Chunk(const char* id, const QByteArray& corpo)
{
    QByteArray chunk = ChunkConDimensione(id, quint32(corpo.size()), corpo);
    if (corpo.size() % 2)
        chunk.append('\0');
    return chunk;
}

QByteArray CostruttoreWave::CorpoFmt(
    quint16 tag, quint16 canali, quint32 frequenza, quint16 bit, quint16 allineamento)
{
    if (allineamento == 0)
        allineamento = quint16(canali * (bit / 8));
    QByteArray corpo;
    Aggiungi16(corpo, tag);
    Aggiungi16(corpo, canali);
    Aggiungi32(corpo, frequenza);
    Aggiungi32(corpo, frequenza * allineamento);
    Aggiungi16(corpo, allineamento);
    Aggiungi16(corpo, bit);
    return corpo;
}

QByteArray CostruttoreWave::Riff(const QByteArray& chunks)
{
    QByteArray riff("RIFF");
    Aggiungi32(riff, quint32(chunks.size() + 4));
    riff += "WAVE";
    riff += chunks;
    return riff;
}

QByteArray CostruttoreWave::Wave(
    quint16 canali, quint32 frequenza, quint16 bit, const QByteArray& dati)
{
    return Riff(Chunk("fmt ", CorpoFmt(1, canali, frequenza, bit)) + Chunk("data", dati));
}

QByteArray CostruttoreWave::Rumore(
    double secondi, quint16 canali, quint32 frequenza, quint16 bit, quint32 seme)
{
    QRandomGenerator caso(seme);
    const qsizetype fotogrammi = qsizetype(secondi * frequenza);
    QByteArray dati;
    double passaBasso = 0, precedente = 0;
    for (qsizetype f = 0; f < fotogrammi; ++f) {
        // A burst every 0.4 s, loud at its start and fading, over a soft floor.
        const double t = double(f) / frequenza;
        const double nelColpo = std::fmod(t, 0.4);
        const double inviluppo = 0.05 + 0.6 * std::exp(-nelColpo * 12);
        // Noise from which the lowest and highest frequencies are taken out.
        passaBasso += 0.5 * (caso.generateDouble() * 2 - 1 - passaBasso);
        const double banda = passaBasso - precedente * 0.9;
        precedente = passaBasso;
        const double v = qBound(-0.99, banda * inviluppo * 1.5, 0.99);
        for (int c = 0; c < canali; ++c) {
            if (bit == 8)
                dati.append(char(quint8(std::lround(128 + v * 127))));
            else
                Aggiungi16(dati, quint16(qint16(std::lround(v * 32767))));
        }
    }
    return Wave(canali, frequenza, bit, dati);
}
