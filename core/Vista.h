// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"

#include <string>

// What the window offers the experiment, and nothing more. Every call is made on the
// user-interface thread; texts are UTF-8.
class Vista {
public:
    virtual ~Vista() = default;

    virtual void ImpostaVisibile(Immagine img, bool visibile) = 0;
    virtual void ImpostaTop(Immagine img, float top) = 0; // twips from the client area's top
    virtual void CaricaBitmap(Immagine img, int id) = 0; // a bitmap of the resource table
    virtual void ImpostaCaption(Etichetta lbl, const std::string& testo) = 0;
    virtual void AbilitaCommand1(bool abilitato) = 0;
    virtual void AbilitaTimer(bool abilitato) = 0;
    virtual void Beep() = 0;
    // Modal: returns only once the pupil has closed the box.
    virtual void MsgBox(const std::string& testo, const std::string& titolo) = 0;
    virtual void RiproduciSuono(int id) = 0; // returns at once; the sound plays on
    virtual void MostraPannello(Pannello pannello, bool aperto) = 0;
    // Modal, with Yes and No and a question's icon, Yes the default and Escape for No: true
    // for Yes.
    virtual bool Domanda(const std::string& testo, const std::string& titolo) = 0;
    // The program ends at once: no tick, reset or question follows, and no sound plays on.
    virtual void Termina() = 0;
};
