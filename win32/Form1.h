// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"
#include "Disposizione.h"
#include "Esperimento.h"
#include "Finestra.h"
#include "Vista.h"

#include <windows.h>

#include <array>
#include <map>
#include <memory>
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
    struct Controllo {
        const Disposizione::Riga* riga = nullptr;
        HWND hwnd = nullptr; // null for a line
        Figura* figura = nullptr;
        Riquadro* riquadro = nullptr;
        Riquadro* contenitore = nullptr; // null on the window
        float top = 0; // a picture's top in twips, as the experiment keeps it
    };
    struct Colori {
        HWND hwnd;
        HBRUSH sfondo;
        Disposizione::Colore testo; // or Sistema: the system's colour of that index
        int sistema;
    };

    template <class T> friend LRESULT CALLBACK Procedura(HWND, UINT, WPARAM, LPARAM);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);
    void CreaMenu();
    void CreaControlli();
    void CreaControllo(const Disposizione::Riga& riga);
    void ImpostaImmagini();
    void CollegaEventi();
    void ApplicaImpilamento();
    void CreaFont(int dpi);
    void Disponi(int dpi);
    void DimensionaFinestra(int dpi);
    HFONT Font(const Disposizione::Riga& riga) const;
    const Controllo* Cerca(const char* nome, int indice = -1) const;
    Figura* Picture(Immagine img) const;
    Controllo* ControlloDi(Immagine img);
    const Controllo* ControlloDi(Immagine img) const;
    LRESULT Colora(HDC dc, HWND controllo) const;
    void AggiornaNomi();
    void DescriviPannelli();
    // The chosen option's density, as its label shows it, for a screen reader; none for another.
    std::wstring DescrizioneOpzione(HWND opzione) const;
    static LRESULT CALLBACK Opzione(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR form);
    // Return: the focused push button is pressed, as with Space; elsewhere nothing happens.
    void PremiFuoco();
    // The focus goes back to the control that had it, or to "OK", or to the first in Tab's
    // order: never to the bare window while a control can take it.
    HWND FuocoDaRendere() const;
    void RicordaFuoco();
    void DaiFuoco(HWND controllo);
    void SpostaFuoco(bool avanti);
    std::vector<HWND> OrdineTab() const;
    // An open panel holds the focus on its arrow; closed, it gives it back.
    void ApriPannello(Riquadro* pannello, Figura* freccia);
    void ChiudiPannello(Riquadro* pannello);

    void Form_Load();
    void Option1_Click(int index);
    void Option2_Click(int index);
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
    std::vector<Controllo> m_controlli; // one per row of the layout table
    std::vector<std::unique_ptr<Figura>> m_figure;
    std::vector<std::unique_ptr<Riquadro>> m_riquadri;
    std::vector<Colori> m_colori;
    HBRUSH m_sfondoForm = nullptr;
    HBRUSH m_sfondoPannelli = nullptr;
    HFONT m_fontPredefinito = nullptr;
    HFONT m_fontTitolo = nullptr;
    HFONT m_fontTesto = nullptr;
    HWND m_tooltip = nullptr;
    HICON m_iconaGrande = nullptr;
    HICON m_iconaPiccola = nullptr;
    bool m_timerAttivo = false;
    std::map<const Riquadro*, HWND> m_fuocoPrima; // where the focus was when each panel opened
    HWND m_fuocoSalvato = nullptr; // the control that last had the focus

    Riquadro* Frame1 = nullptr;
    Riquadro* Frame2 = nullptr;
    Riquadro* Frame3 = nullptr;
    Riquadro* Frame4 = nullptr;
    HWND Command1 = nullptr;
    std::array<HWND, 4> Option1 {};
    std::array<HWND, 4> Option2 {};
    HWND lblPSLiquido = nullptr;
    HWND lblPSMateriale = nullptr;
    Figura* imgContenitore = nullptr;
    Figura* imgLiquido = nullptr;
    Figura* imgMateriale = nullptr;
    Figura* imgGhiaccio = nullptr;
    Figura* imgFerro = nullptr;
    Figura* imgRame = nullptr;
    Figura* imgLegno = nullptr;
    Figura* Command3 = nullptr;
    Figura* Image1 = nullptr;
};
