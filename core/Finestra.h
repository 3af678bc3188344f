// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"

#include <array>
#include <vector>

class Vista;

// The question before leaving, as every window asks it: Yes is the default, Escape answers No.
namespace DomandaDiUscita {
constexpr const char* Testo = "Sei sicuro di voler uscire?";
constexpr const char* Titolo = "Uscita";
constexpr const char* Si = "Sì";
constexpr const char* No = "No";
} // namespace DomandaDiUscita

// The window's own rules beside the experiment: the two panels over it, and leaving. It acts
// on the window only through Vista.
class Finestra {
public:
    explicit Finestra(Vista& vista);

    void mnprince_Click() { Apri(Pannello::Frame3); }
    void Command3_Click() { Chiudi(Pannello::Frame3); }
    void mninfo_Click() { Apri(Pannello::Frame4); }
    void Image1_Click() { Chiudi(Pannello::Frame4); }
    void Form_Escape(); // Escape that no control took: the panel in front closes
    void mnexit_Click();
    // A request to close the window: true when it stays open.
    bool Form_Unload();

    bool Aperto(Pannello pannello) const { return m_aperti[Indice(pannello)]; }
    // The open panels, the one in front first: the information lies over the explanation.
    std::vector<Pannello> Aperti() const;

private:
    static std::size_t Indice(Pannello pannello) { return pannello == Pannello::Frame3 ? 0 : 1; }
    void Apri(Pannello pannello);
    void Chiudi(Pannello pannello);
    bool ConfermaUscita();

    Vista& m_vista;
    std::array<bool, 2> m_aperti {};
    bool m_uscitaConfermata = false;
};
