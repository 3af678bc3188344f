// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"

#include <windows.h>

#include <functional>
#include <map>
#include <utility>
#include <vector>

// Where the keyboard's focus goes in the window: Tab in the design's order, back to a control
// whenever the window has it, never to the bare window while a control can take it, and into
// and out of the panels.
class Fuoco {
public:
    // posti: Tab's places in order, each the windows that take it: one control, or the buttons
    // of an option group, which Tab enters at its chosen one. predefinito: the push button that
    // Return presses and that takes the focus when no control had it.
    void Imposta(HWND form, HWND predefinito, std::vector<std::vector<HWND>> posti);

    // Where Tab goes first: a place, or Nessuno for Tab's usual way through the window.
    void PrimaDelTab(std::function<Posto(Posto ora, bool avanti)> regola)
    {
        m_primaDelTab = std::move(regola);
    }
    // The windows of each of the core's places of the focus.
    void Nomina(std::map<Posto, std::vector<HWND>> luoghi) { m_luoghi = std::move(luoghi); }
    Posto PostoDi(HWND controllo) const;
    // A group takes the focus on its chosen button, or on its first, as Tab enters it.
    HWND Hwnd(Posto posto) const;

    // The keys the window handles before the message is dispatched: Tab in the design's
    // order, then the dialog keys. True when the message needs nothing more.
    bool PreTraduci(MSG& messaggio);
    // Return: the focused push button is pressed, as with Space; elsewhere nothing happens.
    void Premi() const;
    // The control that had the focus, or the push button, or the first in Tab's order.
    HWND DaRendere() const;
    void Ricorda();
    void Dai(HWND controllo);
    HWND Salvato() const { return m_salvato; }
    // An open panel holds the focus on its arrow; as it closes, it gives the focus to dove if
    // the focus was in it.
    void ApriPannello(HWND pannello, HWND freccia);
    void ChiudiPannello(HWND pannello, HWND dove);

private:
    struct Voce {
        HWND hwnd;
        const std::vector<HWND>* posto;
    };
    std::vector<Voce> OrdineTab() const;
    void Sposta(bool avanti);

    HWND m_form = nullptr;
    HWND m_predefinito = nullptr;
    std::vector<std::vector<HWND>> m_posti;
    std::map<Posto, std::vector<HWND>> m_luoghi;
    HWND m_salvato = nullptr; // the control that last had the focus
    std::function<Posto(Posto, bool)> m_primaDelTab;
};
