// SPDX-License-Identifier: GPL-3.0-or-later
#include "Finestra.h"

#include "Vista.h"

#include <algorithm>

Finestra::Finestra(Vista& vista)
    : m_vista(vista)
{
}

std::vector<Pannello> Finestra::Aperti() const
{
    std::vector<Pannello> aperti;
    for (Pannello pannello : { Pannello::Frame4, Pannello::Frame3 })
        if (Aperto(pannello))
            aperti.push_back(pannello);
    return aperti;
}

std::vector<Posto> Finestra::CicloTab() const
{
    std::vector<Posto> frecce;
    for (Pannello pannello : Aperti())
        frecce.push_back(Freccia(pannello));
    return frecce;
}

Posto Finestra::Tab(Posto ora, bool avanti) const
{
    const std::vector<Posto> ciclo = CicloTab();
    if (ciclo.empty())
        return Posto::Nessuno;
    const auto qui = std::find(ciclo.begin(), ciclo.end(), ora);
    if (qui == ciclo.end())
        return ciclo.front();
    const std::size_t n = ciclo.size();
    return ciclo[(std::size_t(qui - ciclo.begin()) + (avanti ? 1 : n - 1)) % n];
}

// A place that can take the focus now: "OK" only while it can be pressed, an arrow only while
// its panel is open.
bool Finestra::Pronto(Posto posto, bool okAbilitato) const
{
    switch (posto) {
    case Posto::Nessuno:
        return false;
    case Posto::Command1:
        return okAbilitato;
    case Posto::Command3:
        return Aperto(Pannello::Frame3);
    case Posto::Image1:
        return Aperto(Pannello::Frame4);
    default:
        return true;
    }
}

Posto Finestra::FuocoDopoLaChiusura(Pannello pannello, bool okAbilitato) const
{
    const Posto prima = m_fuocoPrima[Indice(pannello)];
    for (Pannello altro : Aperti())
        if (altro != pannello && prima != Freccia(altro))
            return Freccia(altro);
    return Pronto(prima, okAbilitato) ? prima : Rifugio(okAbilitato);
}

// Opening an open panel, or closing a closed one, changes nothing.
void Finestra::Apri(Pannello pannello)
{
    if (Aperto(pannello))
        return;
    m_aperti[Indice(pannello)] = true;
    m_fuocoPrima[Indice(pannello)] = m_fuoco;
    m_vista.MostraPannello(pannello, true);
}

void Finestra::Chiudi(Pannello pannello)
{
    if (!Aperto(pannello))
        return;
    // A panel opened from this one will go back to where this one came from.
    const Posto prima = m_fuocoPrima[Indice(pannello)];
    for (Posto& altro : m_fuocoPrima)
        if (altro == Freccia(pannello))
            altro = prima;
    m_aperti[Indice(pannello)] = false;
    m_vista.MostraPannello(pannello, false);
}

void Finestra::Form_Escape()
{
    const std::vector<Pannello> aperti = Aperti();
    if (!aperti.empty())
        Chiudi(aperti.front());
}

void Finestra::mnexit_Click()
{
    if (ConfermaUscita())
        m_vista.Termina();
}

// Once the pupil has said yes, the window goes without asking again, whatever asks it to.
bool Finestra::Form_Unload()
{
    if (m_uscitaConfermata)
        return false;
    if (!ConfermaUscita())
        return true;
    m_vista.Termina();
    return false;
}

bool Finestra::ConfermaUscita()
{
    m_uscitaConfermata = m_vista.Domanda(DomandaDiUscita::Testo, DomandaDiUscita::Titolo);
    return m_uscitaConfermata;
}
