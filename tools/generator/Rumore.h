// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>

// Smooth value noise on a lattice of random values: the mottling of metal and the waviness of
// wood grain and puddle edges. Coordinates are in lattice cells and wrap around.
class Rumore {
public:
    Rumore(quint32 seme, int celle);

    // In [0, 1], continuous in both coordinates.
    double Valore(double x, double y) const;

private:
    double Nodo(int i, int j) const;

    int m_celle = 1;
    QList<double> m_nodi;
};
