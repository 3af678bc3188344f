// SPDX-License-Identifier: GPL-3.0-or-later
#include "Casuale.h"

Casuale::Casuale(quint32 seme)
    : m_stato(seme ? seme : 0x9E3779B9u) // zero would stay zero for ever
{
}

quint32 Casuale::Prossimo()
{
    m_stato ^= m_stato << 13;
    m_stato ^= m_stato >> 17;
    m_stato ^= m_stato << 5;
    return m_stato;
}

double Casuale::Reale()
{
    return (Prossimo() >> 8) / double(1u << 24);
}

int Casuale::Intero(int n)
{
    return n > 0 ? int(Prossimo() % quint32(n)) : 0;
}

quint32 Casuale::Miscela(quint32 x)
{
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}
