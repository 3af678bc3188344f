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
    // A band-pass around 700 Hz, well inside what every rate carries.
    const double w0 = 2 * 3.14159265358979323846 * 700 / frequenza;
    const double alfa = std::sin(w0) / (2 * 0.7);
    const double a0 = 1 + alfa;
    const double b0 = alfa / a0, b2 = -alfa / a0;
    const double a1 = -2 * std::cos(w0) / a0, a2 = (1 - alfa) / a0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    QByteArray dati;
    for (qsizetype f = 0; f < fotogrammi; ++f) {
        // A burst every 0.4 s, loud at its start and fading, over a soft floor; its peaks stay
        // well below full scale, which the server's resampling would otherwise clip.
        const double t = double(f) / frequenza;
        const double inviluppo = 0.05 + 0.45 * std::exp(-std::fmod(t, 0.4) * 10);
        const double x = caso.generateDouble() * 2 - 1;
        const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        const double v = qBound(-0.99, y * inviluppo, 0.99);
        for (int c = 0; c < canali; ++c) {
            if (bit == 8)
                dati.append(char(quint8(std::lround(128 + v * 127))));
            else
                Aggiungi16(dati, quint16(qint16(std::lround(v * 32767))));
        }
    }
    return Wave(canali, frequenza, bit, dati);
}
