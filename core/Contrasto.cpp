// SPDX-License-Identifier: GPL-3.0-or-later
#include "Contrasto.h"

#include <algorithm>
#include <cmath>

namespace {

double Lineare(int canale)
{
    const double c = std::clamp(canale, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double Contrasto::Luminanza(Colore colore)
{
    return 0.2126 * Lineare(colore.r) + 0.7152 * Lineare(colore.g) + 0.0722 * Lineare(colore.b);
}

double Contrasto::Rapporto(Colore a, Colore b)
{
    const double la = Luminanza(a);
    const double lb = Luminanza(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Contrasto::Colore Contrasto::Leggibile(
    Colore sfondo, std::initializer_list<Colore> candidati, double minimo)
{
    for (const Colore& candidato : candidati)
        if (!candidato.Sistema() && Rapporto(candidato, sfondo) >= minimo)
            return candidato;
    return Rapporto(Nero, sfondo) >= Rapporto(Bianco, sfondo) ? Nero : Bianco;
}

Contrasto::Colore Contrasto::Sfondo(Colore progetto, Colore sistema, bool altoContrasto)
{
    return altoContrasto || progetto.Sistema() ? sistema : progetto;
}

Contrasto::Colore Contrasto::TestoSu(
    Colore sfondo, Colore progetto, Colore sistema, bool altoContrasto)
{
    if (altoContrasto)
        return sistema;
    if (!progetto.Sistema())
        return progetto;
    return Leggibile(sfondo, { sistema, Nero }, Testo);
}

Contrasto::Colore Contrasto::IndicatoreSu(Colore sfondo, Colore sistema)
{
    return Leggibile(sfondo, { sistema }, Indicatore);
}

bool Contrasto::AltoContrasto(
    Colore finestra, Colore testoFinestra, Colore faccia, Colore testoFaccia)
{
    constexpr double Estremo = 20.5; // pure black on pure white is 21:1
    return Rapporto(finestra, testoFinestra) >= Estremo && Rapporto(faccia, testoFaccia) >= Estremo;
}
