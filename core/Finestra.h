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

    // The window tells where the focus went in its client area.
    void FuocoA(Posto posto)
    {
        m_fuoco = posto;
        if (posto != m_avvisoOk)
            m_avvisoOk = Posto::Nessuno;
    }
    // A choice made in a group, with "OK" as it was before and after it. The choice that
    // armed "OK" says so once, with its own description, for as long as the focus stays on it:
    // a pupil who made it with the keyboard hears that "OK" is one Tab away.
    void Scelto(Posto gruppo, bool okPrima, bool okDopo)
    {
        m_avvisoOk = !okPrima && okDopo ? gruppo : Posto::Nessuno;
    }
    bool AvvisaOk(Posto gruppo) const
    {
        return gruppo != Posto::Nessuno && gruppo == m_avvisoOk && gruppo == m_fuoco;
    }
    // Where Tab, or Shift+Tab when not avanti, takes the focus from ora. While a panel is open it
    // goes round the arrows of the open panels, the front one first, from wherever it was;
    // Nessuno when none is open, and Tab goes through the window as usual.
    Posto Tab(Posto ora, bool avanti) const;
    // Where the focus goes, when it was in the panel that is closing: to the arrow of a panel
    // still open, unless the focus came from there when this one opened; else back where it
    // came from, if that can still take it; else to the fallback. Asked by the window while it
    // hides the panel.
    Posto FuocoDopoLaChiusura(Pannello pannello, bool okAbilitato) const;
    // When the control that should get the focus is gone: "OK" if it can be pressed, else the
    // chosen liquid, the first place of the Tab order.
    static Posto Rifugio(bool okAbilitato)
    {
        return okAbilitato ? Posto::Command1 : Posto::Option1;
    }
    // A run starts and "OK" goes grey: the focus on it, which it can no longer keep, or on no
    // control waits on the tank, where the run happens; anywhere else it stays.
    static Posto FuocoAllAvvio(Posto ora)
    {
        return ora == Posto::Command1 || ora == Posto::Nessuno ? Posto::imgContenitore : ora;
    }
    // "OK" can be pressed again, once a run is over or the choices armed it: the focus that
    // waited on the tank, or is on no control, goes to it, so that Space runs the next; anywhere
    // else it stays.
    static Posto FuocoAllaFine(Posto ora)
    {
        return ora == Posto::imgContenitore || ora == Posto::Nessuno ? Posto::Command1 : ora;
    }
    static Posto Freccia(Pannello pannello)
    {
        return pannello == Pannello::Frame3 ? Posto::Command3 : Posto::Image1;
    }

private:
    static std::size_t Indice(Pannello pannello) { return pannello == Pannello::Frame3 ? 0 : 1; }
    void Apri(Pannello pannello);
    void Chiudi(Pannello pannello);
    bool ConfermaUscita();
    bool Pronto(Posto posto, bool okAbilitato) const;
    std::vector<Posto> CicloTab() const;

    Vista& m_vista;
    std::array<bool, 2> m_aperti {};
    Posto m_fuoco = Posto::Nessuno;
    std::array<Posto, 2> m_fuocoPrima {}; // where the focus was as each panel opened
    Posto m_avvisoOk = Posto::Nessuno; // the group whose choice armed "OK", while it says so
    bool m_uscitaConfermata = false;
};
