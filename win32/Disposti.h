// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Disposizione.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

class Figura;
class Riquadro;

// The window's controls as the layout table sets them out: a child window per row, stacked
// as the table lists them, with the fonts, backgrounds and text colours they are painted with,
// placed at the window's DPI.
class Disposti {
public:
    struct Controllo {
        const Disposizione::Riga* riga = nullptr;
        HWND hwnd = nullptr; // null for a line
        Figura* figura = nullptr;
        Riquadro* riquadro = nullptr;
        Riquadro* contenitore = nullptr; // null on the window
    };
    // A control's identifier is this plus its row in the table.
    static constexpr int PrimoId = 1000;

    Disposti();
    ~Disposti();
    Disposti(const Disposti&) = delete;
    Disposti& operator=(const Disposti&) = delete;

    void Crea(HWND form, HINSTANCE istanza);
    const Controllo* Cerca(const char* nome, int indice = -1) const;
    const Controllo* DiId(int id) const; // null for another identifier
    const std::vector<Controllo>& Tutti() const { return m_controlli; }
    // The controls at this DPI; a picture at the top (in twips) that its row's is now.
    void Disponi(int dpi, const std::function<float(const Disposizione::Riga&)>& top);
    // The answer to WM_CTLCOLORSTATIC and WM_CTLCOLORBTN.
    LRESULT Colora(HDC dc, HWND controllo) const;

    HBRUSH SfondoForm() const { return m_sfondoForm; }
    HBRUSH SfondoPannelli() const { return m_sfondoPannelli; }
    HWND Tooltip() const { return m_tooltip; }

private:
    struct Colori {
        HWND hwnd;
        HBRUSH sfondo;
        Disposizione::Colore testo; // or Sistema: the system's colour of that index
        int sistema;
    };

    void CreaControllo(const Disposizione::Riga& riga);
    void ApplicaImpilamento();
    void CreaFont(int dpi);
    HFONT Font(const Disposizione::Riga& riga) const;

    HWND m_form = nullptr;
    HINSTANCE m_istanza = nullptr;
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
};
