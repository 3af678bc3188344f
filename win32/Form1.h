// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"
#include "Disposizione.h"
#include "Disposti.h"
#include "Esperimento.h"
#include "Finestra.h"
#include "Fuoco.h"
#include "Vista.h"
#include "Voci.h"

#include <windows.h>

#include <array>
#include <vector>

class Figura;
class Riquadro;

// The one window: the tank, the two option groups, "OK", the two panels and the menus, as
// real child windows at the places of the layout table. It forwards every event to the
// experiment and offers the experiment the operations on its controls.
class Form1 : public Vista {
public:
    explicit Form1(HINSTANCE istanza);
    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    static void Registra(HINSTANCE istanza);

    HWND hwnd() const { return m_hwnd; }
    // The keys the window handles before the message is dispatched: Tab in the design's
    // order, then the dialog keys. True when the message needs nothing more.
    // The keys before they are dispatched; the core learns where the focus is.
    bool PreTraduci(MSG& messaggio);

    // What the experiment may do to the window.
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
    [[noreturn]] void Termina() override;

private:
    using Controllo = Disposti::Controllo;

    template <class T> friend LRESULT CALLBACK Procedura(HWND, UINT, WPARAM, LPARAM);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);
    void CreaMenu();
    void CreaControlli();
    std::vector<std::vector<HWND>> PostiTab() const;
    void ImpostaImmagini();
    void CollegaEventi();
    void Disponi(int dpi);
    void DimensionaFinestra(int dpi);
    float Top(const Disposizione::Riga& riga) const;
    Figura* Picture(Immagine img) const;
    const Controllo* ControlloDi(Immagine img) const;
    void AggiornaNomi();

    void Form_Load();
    void Option1_Click(int index);
    void Option2_Click(int index);
    // What follows a choice in a group: the names and the chosen option's description.
    void DopoLaScelta(Posto gruppo, HWND scelta, bool okPrima);
    void Command1_Click();
    void tmrDiscesa_Timer();
    void mnprince_Click();
    void Command3_Click();
    void mninfo_Click();
    void Image1_Click();
    void Command3_MouseDown();
    void Command3_MouseUp();
    void Image1_MouseDown();
    void Image1_MouseUp();
    void mnexit_Click();

    HINSTANCE m_istanza = nullptr;
    HWND m_hwnd = nullptr;
    Esperimento m_esperimento;
    Finestra m_finestra;
    int m_dpi = 96;
    Disposti m_disposti;
    Fuoco m_fuoco;
    Voci m_voci;
    HICON m_iconaGrande = nullptr;
    HICON m_iconaPiccola = nullptr;
    bool m_timerAttivo = false;

    Riquadro* Frame1 = nullptr;
    Riquadro* Frame2 = nullptr;
    Riquadro* Frame3 = nullptr;
    Riquadro* Frame4 = nullptr;
    HWND Command1 = nullptr;
    std::array<HWND, 4> Option1 {};
    std::array<HWND, 4> Option2 {};
    HWND lblPSLiquido = nullptr;
    HWND lblPSMateriale = nullptr;
    Figura* Command3 = nullptr;
    Figura* Image1 = nullptr;
};
