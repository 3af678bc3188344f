// SPDX-License-Identifier: GPL-3.0-or-later
#include "Finestra.h"

#include "Vista.h"

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

// Opening an open panel, or closing a closed one, changes nothing.
void Finestra::Apri(Pannello pannello)
{
    if (Aperto(pannello))
        return;
    m_aperti[Indice(pannello)] = true;
    m_vista.MostraPannello(pannello, true);
}

void Finestra::Chiudi(Pannello pannello)
{
    if (!Aperto(pannello))
        return;
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
