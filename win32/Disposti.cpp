// SPDX-License-Identifier: GPL-3.0-or-later
#include "Disposti.h"

#include "Caratteri.h"
#include "Dpi.h"
#include "Figura.h"
#include "Geometria.h"
#include "Riquadro.h"
#include "Tavolozza.h"
#include "Testo.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

using Disposizione::Carattere;
using Disposizione::Riga;
using Disposizione::Tipo;

Disposti::Disposti()
    : m_sfondoForm(CreateSolidBrush(
        RGB(Geometria::SfondoForm.r, Geometria::SfondoForm.g, Geometria::SfondoForm.b)))
    , m_sfondoPannelli(CreateSolidBrush(RGB(192, 255, 255)))
{
}

Disposti::~Disposti()
{
    for (HGDIOBJ oggetto : { HGDIOBJ(m_sfondoForm), HGDIOBJ(m_sfondoPannelli),
             HGDIOBJ(m_fontPredefinito), HGDIOBJ(m_fontTitolo), HGDIOBJ(m_fontTesto) })
        if (oggetto)
            DeleteObject(oggetto);
}

void Disposti::Crea(HWND form, HINSTANCE istanza)
{
    m_form = form;
    m_istanza = istanza;
    m_controlli.reserve(Disposizione::Controlli.size());
    for (const Riga& riga : Disposizione::Controlli)
        CreaControllo(riga);
    ApplicaImpilamento();
    m_tooltip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, m_form, nullptr, m_istanza, nullptr);
}

void Disposti::CreaControllo(const Riga& riga)
{
    Controllo controllo;
    controllo.riga = &riga;
    const int id = PrimoId + int(m_controlli.size());
    if (riga.contenitore)
        controllo.contenitore = Cerca(riga.contenitore)->riquadro;
    HWND contenitore = controllo.contenitore ? controllo.contenitore->hwnd() : m_form;
    const bool inPannello = controllo.contenitore && Cerca(riga.contenitore)->riga->sfondo.r >= 0;
    HBRUSH sfondo = !controllo.contenitore ? m_sfondoForm
        : inPannello                       ? m_sfondoPannelli
                                           : GetSysColorBrush(COLOR_BTNFACE);
    const std::wstring testo = Largo(riga.testo);
    const DWORD visibile = riga.visibile ? WS_VISIBLE : 0;
    // An option lies under its group box, as in a dialog, where screen readers look for its
    // group's name: clipped by its siblings, it would vanish under the box.
    const DWORD figlio = riga.tipo == Tipo::OptionButton ? WS_CHILD : WS_CHILD | WS_CLIPSIBLINGS;
    const auto crea = [&](const wchar_t* classe, DWORD stile) {
        return CreateWindowExW(0, classe, testo.c_str(), figlio | visibile | stile, 0, 0, 0, 0,
            contenitore, HMENU(INT_PTR(id)), m_istanza, nullptr);
    };

    switch (riga.tipo) {
    case Tipo::Frame: {
        const bool pannello = !riga.sfondo.Sistema();
        auto nuovo = std::make_unique<Riquadro>(m_form, id, testo, pannello);
        if (pannello)
            nuovo->ImpostaSfondo(m_sfondoPannelli);
        HBRUSH proprio = pannello ? m_sfondoPannelli : GetSysColorBrush(COLOR_BTNFACE);
        m_colori.push_back({ nuovo->GroupBox(), proprio, riga.testoOLinea, COLOR_BTNTEXT });
        if (nuovo->Caption())
            m_colori.push_back({ nuovo->Caption(), proprio, riga.testoOLinea, COLOR_BTNTEXT });
        controllo.hwnd = nuovo->hwnd();
        controllo.riquadro = nuovo.get();
        m_riquadri.push_back(std::move(nuovo));
        if (riga.visibile)
            ShowWindow(controllo.hwnd, SW_SHOWNA);
        break;
    }
    case Tipo::OptionButton:
        // The first of each group starts it and is where Tab enters it.
        controllo.hwnd
            = crea(L"BUTTON", BS_AUTORADIOBUTTON | (riga.indice == 0 ? WS_GROUP | WS_TABSTOP : 0));
        m_colori.push_back({ controllo.hwnd, sfondo, riga.testoOLinea, COLOR_BTNTEXT });
        break;
    case Tipo::CommandButton:
        controllo.hwnd = crea(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP);
        m_colori.push_back({ controllo.hwnd, sfondo, riga.testoOLinea, COLOR_BTNTEXT });
        break;
    case Tipo::Label:
        controllo.hwnd = crea(L"STATIC", SS_LEFT | SS_NOPREFIX);
        // A label in a panel lets the panel's lines show through; one on the window is redrawn
        // whenever its text changes, so it paints the window's background.
        m_colori.push_back(
            { controllo.hwnd, inPannello ? HBRUSH(GetStockObject(NULL_BRUSH)) : sfondo,
                riga.testoOLinea, COLOR_WINDOWTEXT });
        break;
    case Tipo::Picture: {
        auto nuova = std::make_unique<Figura>(contenitore, id, sfondo);
        controllo.hwnd = nuova->hwnd();
        controllo.figura = nuova.get();
        m_figure.push_back(std::move(nuova));
        if (riga.visibile)
            ShowWindow(controllo.hwnd, SW_SHOWNA);
        break;
    }
    case Tipo::Line:
        break;
    }
    if (controllo.hwnd && !riga.abilitato)
        EnableWindow(controllo.hwnd, FALSE);
    m_controlli.push_back(controllo);
}

void Disposti::ApplicaImpilamento()
{
    // The table lists each container's controls frontmost first: each goes below the ones
    // before it. The buttons of an option group do not overlap; they lie in the order of their
    // indices, which is the order the arrow keys walk.
    const auto impila = [this](const Riquadro* contenitore) {
        int opzioni = 0;
        for (const Controllo& controllo : m_controlli) {
            if (controllo.contenitore != contenitore || !controllo.hwnd)
                continue;
            HWND hwnd = controllo.hwnd;
            if (controllo.riga->tipo == Tipo::OptionButton)
                hwnd = Cerca(controllo.riga->nome, opzioni++)->hwnd;
            SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        if (contenitore) {
            SetWindowPos(contenitore->GroupBox(), HWND_TOP, 0, 0, 0, 0,
                SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
            if (contenitore->Caption())
                SetWindowPos(contenitore->Caption(), HWND_TOP, 0, 0, 0, 0,
                    SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    };
    impila(nullptr);
    for (const auto& riquadro : m_riquadri)
        impila(riquadro.get());
}

void Disposti::CreaFont(int dpi)
{
    // The system's dialog font, at about 8 points.
    LOGFONTW dialogo = FontDeiMessaggi(dpi);
    dialogo.lfHeight = -MulDiv(8, dpi, 72);
    dialogo.lfWidth = 0;
    m_fontPredefinito = CreateFontIndirectW(&dialogo);
    m_fontTitolo = Arial(1200, true, dpi);
    m_fontTesto = Arial(1425, false, dpi);
}

HFONT Disposti::Font(const Riga& riga) const
{
    switch (riga.carattere) {
    case Carattere::Titolo:
        return m_fontTitolo;
    case Carattere::Testo:
        return m_fontTesto;
    case Carattere::Predefinito:
        break;
    }
    return m_fontPredefinito;
}

void Disposti::Disponi(int dpi, const std::function<float(const Riga&)>& top)
{
    // The old fonts go only once no control is left holding one.
    const HFONT vecchi[] = { m_fontPredefinito, m_fontTitolo, m_fontTesto };
    CreaFont(dpi);
    const auto px = [dpi](double twips) { return Twips::Px(twips, dpi); };

    for (Controllo& controllo : m_controlli) {
        const Riga& riga = *controllo.riga;
        const RECT rettangolo { px(riga.left), px(riga.top), px(riga.left) + px(riga.width),
            px(riga.top) + px(riga.height) };
        switch (riga.tipo) {
        case Tipo::Frame:
            controllo.riquadro->Disponi(rettangolo, Font(riga), px(90));
            break;
        case Tipo::Picture:
            controllo.figura->ImpostaDpi(dpi);
            controllo.figura->ImpostaMisura({ px(riga.width), px(riga.height) });
            SetWindowPos(controllo.hwnd, nullptr, px(riga.left), px(top(riga)), 0, 0,
                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        case Tipo::Line:
            break;
        default:
            SendMessageW(controllo.hwnd, WM_SETFONT, WPARAM(Font(riga)), FALSE);
            SetWindowPos(controllo.hwnd, nullptr, rettangolo.left, rettangolo.top,
                rettangolo.right - rettangolo.left, rettangolo.bottom - rettangolo.top,
                SWP_NOZORDER | SWP_NOACTIVATE);
            break;
        }
    }
    for (const auto& riquadro : m_riquadri) {
        std::vector<Riquadro::Linea> linee;
        for (const Controllo& controllo : m_controlli) {
            const Riga& riga = *controllo.riga;
            if (riga.tipo != Tipo::Line || controllo.contenitore != riquadro.get())
                continue;
            linee.push_back({ { px(riga.left), px(riga.top) }, { px(riga.width), px(riga.height) },
                std::max(1, MulDiv(riga.spessore, dpi, Twips::DpiStandard)),
                Tavolozza::Linea(Tavolozza::Sfondo(m_sfondoPannelli, true), riga.testoOLinea) });
        }
        riquadro->ImpostaLinee(std::move(linee));
    }
    SendMessageW(m_tooltip, WM_SETFONT, WPARAM(m_fontPredefinito), FALSE);
    for (HFONT font : vecchi)
        if (font)
            DeleteObject(font);
}

const Disposti::Controllo* Disposti::Cerca(const char* nome, int indice) const
{
    for (const Controllo& controllo : m_controlli)
        if (std::strcmp(controllo.riga->nome, nome) == 0
            && (indice < 0 || controllo.riga->indice == indice))
            return &controllo;
    return nullptr;
}

const Disposti::Controllo* Disposti::DiId(int id) const
{
    const std::size_t riga = std::size_t(id - PrimoId);
    return id >= PrimoId && riga < m_controlli.size() ? &m_controlli[riga] : nullptr;
}

LRESULT Disposti::Colora(HDC dc, HWND controllo) const
{
    for (const Colori& colori : m_colori) {
        if (colori.hwnd != controllo)
            continue;
        const bool proprio = colori.sfondo == m_sfondoForm || colori.sfondo == m_sfondoPannelli;
        HBRUSH sfondo = Tavolozza::Sfondo(colori.sfondo, proprio);
        SetTextColor(dc, Tavolozza::Testo(sfondo, colori.testo, colori.sistema));
        SetBkMode(dc, TRANSPARENT);
        return LRESULT(sfondo);
    }
    return DefWindowProcW(m_form, WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(controllo));
}
