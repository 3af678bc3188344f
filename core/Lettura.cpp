// SPDX-License-Identifier: GPL-3.0-or-later
#include "Lettura.h"

#include "Catalogo.h"
#include "Disposizione.h"
#include "Esperimento.h"
#include "FormatoGenerale.h"

#include <array>
#include <cstddef>

namespace {

constexpr bool Uguali(const char* a, const char* b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

// The labels of a panel, in the order the table lists them, picked out as the program is
// compiled: the rest of the table need not travel with it.
using TestiDiPannello = std::array<const char*, 2>;

constexpr TestiDiPannello TestiDi(const char* pannello)
{
    TestiDiPannello testi {};
    std::size_t n = 0;
    for (const Disposizione::Riga& riga : Disposizione::Controlli)
        if (riga.tipo == Disposizione::Tipo::Label && riga.contenitore
            && Uguali(riga.contenitore, pannello))
            testi[n++] = riga.testo; // past two, the compiler refuses the constant
    return testi;
}

constexpr TestiDiPannello Spiegazione = TestiDi(Nome(Pannello::Frame3));
constexpr TestiDiPannello Informazioni = TestiDi(Nome(Pannello::Frame4));

} // namespace

namespace Lettura {

std::string Minuscolo(const std::string& testo)
{
    std::string minuscolo = testo;
    for (char& c : minuscolo)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return minuscolo;
}

std::string NomeVasca(const StatoEsperimento& stato)
{
    // Before any choice the tank is drawn full of water.
    const char* liquido
        = stato.LiquidoScelto ? Catalogo::Liquidi.at(stato.IndiceLiquido).caption : "Acqua";
    return "Vasca con " + Minuscolo(liquido);
}

std::string NomeCampione(const StatoEsperimento& stato, Etichetta densita)
{
    if (densita == Etichetta::lblPSLiquido)
        return stato.LiquidoScelto
            ? "Campione di " + Minuscolo(Catalogo::Liquidi.at(stato.IndiceLiquido).caption)
            : "Nessun liquido scelto";
    return stato.MaterialeScelto
        ? "Campione di " + Minuscolo(Catalogo::Materiali.at(stato.IndiceMateriale).caption)
        : "Nessun materiale scelto";
}

std::string NomeCorpo(Immagine corpo)
{
    for (const Materiale& materiale : Catalogo::Materiali)
        if (materiale.corpo == corpo)
            return "Corpo di " + Minuscolo(materiale.caption);
    return {};
}

std::string DescrizioneScelta(const Esperimento& esperimento, Etichetta densita, bool conOk)
{
    const StatoEsperimento& stato = esperimento.Stato();
    const bool liquido = densita == Etichetta::lblPSLiquido;
    if (!(liquido ? stato.LiquidoScelto : stato.MaterialeScelto))
        return {};
    return "densità "
        + FormatoGenerale(
            liquido ? stato.DensitaLiquido : stato.DensitaMateriale, esperimento.Separatore())
        + (conOk ? std::string(", ") + OkDisponibile : std::string());
}

const char* NomePannello(Pannello pannello)
{
    return pannello == Pannello::Frame3 ? "Spiegazione" : "Informazioni";
}

std::string TestoPannello(Pannello pannello)
{
    const TestiDiPannello& testi = pannello == Pannello::Frame3 ? Spiegazione : Informazioni;
    std::string testo;
    for (const char* riga : testi)
        if (riga)
            testo += (testo.empty() ? "" : " ") + std::string(riga);
    return testo;
}

} // namespace Lettura
