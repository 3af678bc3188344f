// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"
#include "Esperimento.h"
#include "Finestra.h"
#include "Vista.h"

#include <string>

// The one window, as the page's markup: the tank, the two option groups, "OK", the two panels
// and the menus, already laid out from the layout table. Form1 forwards the page's events to
// the experiment and offers the experiment the operations on the page's controls.
class Form1 : public Vista {
public:
    Form1();

    void ImpostaVisibile(Immagine img, bool visibile) override;
    void ImpostaTop(Immagine img, float top) override;
    void CaricaBitmap(Immagine img, int id) override;
    void ImpostaCaption(Etichetta lbl, const std::string& testo) override;
    void AbilitaCommand1(bool abilitato) override;
    void AbilitaTimer(bool abilitato) override;
    void Beep() override;
    void MsgBox(const std::string& testo, const std::string& titolo) override;
    void RiproduciSuono(int id) override;
    void MostraPannello(Pannello pannello, bool aperto) override;
    bool Domanda(const std::string& testo, const std::string& titolo) override;
    void Termina() override;

    void Form_Load();
    void Option1_Click(int index);
    void Option2_Click(int index);
    void Command1_Click();
    void tmrDiscesa_Timer();
    void mnprince_Click();
    void Command3_Click();
    void mninfo_Click();
    void Image1_Click();
    void mnexit_Click();
    void Form_Escape(); // Escape closes the panel in front
    void FuocoA(int posto); // the focus went to this place of the client area
    // Where Tab takes the focus from this place: a place's number, 0 for Tab's usual way.
    int Tab(int posto, bool avanti) const;

private:
    void AggiornaNomi();

    Esperimento m_esperimento;
    Finestra m_finestra;
    bool m_okAbilitato = false;
};
