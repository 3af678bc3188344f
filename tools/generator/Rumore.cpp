// SPDX-License-Identifier: GPL-3.0-or-later
#include "Rumore.h"

#include "Casuale.h"

#include <cmath>

namespace {
double Liscia(double t)
{
    return t * t * (3 - 2 * t);
}
} // namespace

Rumore::Rumore(quint32 seme, int celle)
    : m_celle(qMax(1, celle))
{
    Casuale casuale(seme);
    m_nodi.reserve(m_celle * m_celle);
    for (int n = 0; n < m_celle * m_celle; ++n)
        m_nodi.append(casuale.Reale());
}

double Rumore::Nodo(int i, int j) const
{
    const auto giro = [this](int k) { return ((k % m_celle) + m_celle) % m_celle; };
    return m_nodi[giro(j) * m_celle + giro(i)];
}

double Rumore::Valore(double x, double y) const
{
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int i = int(fx);
    const int j = int(fy);
    const double tx = Liscia(x - fx);
    const double ty = Liscia(y - fy);
    const double alto = Nodo(i, j) + (Nodo(i + 1, j) - Nodo(i, j)) * tx;
    const double basso = Nodo(i, j + 1) + (Nodo(i + 1, j + 1) - Nodo(i, j + 1)) * tx;
    return alto + (basso - alto) * ty;
}
