// SPDX-License-Identifier: GPL-3.0-or-later
#include "Modello.h"

namespace {
// Densities in g/cm³ and as the labels write them, in the options' order.
constexpr std::array<double, 4> DensitaLiquidi { 1.0, 13.6, 0.9, 0.73 };
constexpr std::array<double, 4> DensitaMateriali { 0.92, 7.86, 8.96, 0.45 };
const std::array<const char*, 4> TestiLiquidi { "1", "13.6", "0.9", "0.73" };
const std::array<const char*, 4> TestiMateriali { "0.92", "7.86", "8.96", "0.45" };

std::string ConSeparatore(const char* numero, const std::string& separatore)
{
    std::string testo;
    for (const char* c = numero; *c; ++c)
        testo += *c == '.' ? separatore : std::string(1, *c);
    return testo;
}
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
        m_top.at(std::size_t(indice)) = TopIniziale;
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
    m_top.at(std::size_t(m_materiale)) = TopIniziale;
    m_inCorsa = true;
    m_corpoVisibile = true;
    m_scelte = 0;
    m_ok = false;
    ++m_corse;
}

std::string Modello::Tick()
{
    float& top = m_top.at(std::size_t(m_materiale));
    if (!(DensitaMateriali.at(std::size_t(m_materiale))
            > DensitaLiquidi.at(std::size_t(m_liquido)))) {
        top = TopIniziale; // a floating body shows at the surface
        Verdetto();
        ++m_galleggianti;
        return "Il corpo galleggia";
    }
    top += Passo;
    if (!(top > LimiteFondo))
        return {};
    top = TopIniziale;
    Verdetto();
    ++m_affondati;
    return "Il corpo affonda";
}

void Modello::Verdetto()
{
    m_inCorsa = false;
    m_corpoVisibile = false;
    m_scelte = 0;
    m_ok = true;
}

std::string Modello::testoLiquido(const std::string& separatore) const
{
    if (m_liquido < 0)
        return {};
    return "Densit\xc3\xa0= " + ConSeparatore(TestiLiquidi.at(std::size_t(m_liquido)), separatore);
}

std::string Modello::testoMateriale(const std::string& separatore) const
{
    if (m_materiale < 0)
        return {};
    return "Densit\xc3\xa0 = "
        + ConSeparatore(TestiMateriali.at(std::size_t(m_materiale)), separatore);
}
