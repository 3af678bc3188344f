// SPDX-License-Identifier: GPL-3.0-or-later
#include "Modello.h"

namespace {
// Densities in g/cm³ and as the labels write them, in the options' order.
constexpr std::array<double, 4> DensitaLiquidi { 1.0, 13.6, 0.9, 0.73 };
constexpr std::array<double, 4> DensitaMateriali { 0.92, 7.86, 8.96, 0.45 };
const std::array<const char*, 4> TestiLiquidi { "1", "13.6", "0.9", "0.73" };
const std::array<const char*, 4> TestiMateriali { "0.92", "7.86", "8.96", "0.45" };
} // namespace

void Modello::ScegliLiquido(int indice)
{
    const bool coppiaPrima = coppia();
    m_liquido = indice;
    Conta(coppiaPrima);
}

void Modello::ScegliMateriale(int indice)
{
    const bool coppiaPrima = coppia();
    // A body comes into view at the surface; the one in view, perhaps sinking, stays put.
    if (!m_corpoVisibile || indice != m_materiale)
        m_top.at(indice) = TopIniziale;
    m_materiale = indice;
    m_corpoVisibile = true;
    Conta(coppiaPrima);
}

void Modello::Conta(bool coppiaPrima)
{
    // "OK" wants a liquid and a material: the choice that completes the pair arms it, and
    // from then on the second choice since a run. The count never wraps round.
    if (m_scelte == 255)
        ++m_sceltePerse;
    else
        ++m_scelte;
    if (coppia() && (m_scelte == 2 || !coppiaPrima))
        m_ok = true;
}

void Modello::PremiOK()
{
    if (!coppia())
        return; // nothing to run: nothing starts, and the choices stay
    m_top.at(m_materiale) = TopIniziale;
    m_inCorsa = true;
    m_corpoVisibile = true;
    m_scelte = 0;
    m_ok = false;
    ++m_corse;
}

QString Modello::Tick()
{
    const double liquido = m_liquido < 0 ? 0.0 : DensitaLiquidi.at(m_liquido);
    if (!(DensitaMateriali.at(m_materiale) > liquido)) {
        m_top.at(m_materiale) = TopIniziale; // a floating body shows at the surface
        Verdetto();
        return QStringLiteral("Il corpo galleggia");
    }
    float& top = m_top.at(m_materiale);
    top += Passo;
    if (!(top > LimiteFondo))
        return {};
    top = TopIniziale;
    Verdetto();
    return QStringLiteral("Il corpo affonda");
}

void Modello::Verdetto()
{
    m_inCorsa = false;
    m_corpoVisibile = false;
    m_scelte = 0;
    m_ok = true;
    ++m_verdetti;
}

QString Modello::testoLiquido(QChar separatore) const
{
    if (m_liquido < 0)
        return {};
    return QStringLiteral("Densità= ")
        + QString::fromLatin1(TestiLiquidi.at(m_liquido)).replace(QLatin1Char('.'), separatore);
}

QString Modello::testoMateriale(QChar separatore) const
{
    if (m_materiale < 0)
        return {};
    return QStringLiteral("Densità = ")
        + QString::fromLatin1(TestiMateriali.at(m_materiale)).replace(QLatin1Char('.'), separatore);
}
