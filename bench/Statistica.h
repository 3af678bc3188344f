// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>

#include <vector>

// A series of measurements of one figure, with its median and its spread. A measurement that
// could not be taken (NaN) is counted apart as lost, never averaged in.
class Statistica {
public:
    void Aggiungi(double valore);

    // The value below which this share of the measurements lies (0: the least, 1: the most);
    // NaN when there are none.
    double Quantile(double q) const;
    double Mediana() const { return Quantile(0.5); }
    int Numero() const { return int(m_valori.size()); }
    int Mancati() const { return m_mancati; }

    // "12.3 ms (11.9-13.1)": the median and, between brackets, the middle half of the values.
    QString Testo(int decimali = 1) const;
    // median, quartiles, least and most, count, lost.
    QJsonObject Json() const;

private:
    std::vector<double> m_valori;
    int m_mancati = 0;
};
