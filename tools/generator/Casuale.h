// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>

// A small xorshift generator. The drawings take their irregularities from it instead of the
// standard distributions, whose output may change between library versions: the committed
// pictures must come out of every build byte for byte.
class Casuale {
public:
    explicit Casuale(quint32 seme);

    quint32 Prossimo();
    // Uniform in [0, 1).
    double Reale();
    // Uniform in [0, n); 0 when n is not positive.
    int Intero(int n);

    // A well-mixed hash, for noise that must not depend on the order of the pixels visited.
    static quint32 Miscela(quint32 x);

private:
    quint32 m_stato = 0;
};
