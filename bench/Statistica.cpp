// SPDX-License-Identifier: GPL-3.0-or-later
#include "Statistica.h"

#include <QString>

#include <algorithm>
#include <cmath>

void Statistica::Aggiungi(double valore)
{
    if (std::isnan(valore))
        ++m_mancati;
    else
        m_valori.push_back(valore);
}

double Statistica::Quantile(double q) const
{
    if (m_valori.empty())
        return std::nan("");
    std::vector<double> v = m_valori;
    std::sort(v.begin(), v.end());
    // Linear between the two nearest ranks, so that the median of an even count is the mean
    // of the middle two.
    const double posizione = std::clamp(q, 0.0, 1.0) * double(v.size() - 1);
    const size_t sotto = size_t(std::floor(posizione));
    const size_t sopra = std::min(sotto + 1, v.size() - 1);
    return v[sotto] + (v[sopra] - v[sotto]) * (posizione - double(sotto));
}

QString Statistica::Testo(int decimali) const
{
    if (m_valori.empty())
        return QStringLiteral("n/a");
    return QStringLiteral("%1 (%2-%3)")
        .arg(Mediana(), 0, 'f', decimali)
        .arg(Quantile(0.25), 0, 'f', decimali)
        .arg(Quantile(0.75), 0, 'f', decimali);
}

QJsonObject Statistica::Json() const
{
    // JSON has no NaN: a figure that was never measured is null.
    const auto valore = [this](double q) {
        const double v = Quantile(q);
        return std::isnan(v) ? QJsonValue() : QJsonValue(v);
    };
    return { { "mediana", valore(0.5) }, { "q1", valore(0.25) }, { "q3", valore(0.75) },
        { "p90", valore(0.9) }, { "minimo", valore(0) }, { "massimo", valore(1) },
        { "n", Numero() }, { "mancati", m_mancati } };
}
