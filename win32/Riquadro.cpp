// SPDX-License-Identifier: GPL-3.0-or-later
#include "Riquadro.h"
#include "Procedura.h"
#include "Tavolozza.h"

#include <algorithm>
#include <utility>

namespace {
constexpr wchar_t Classe[] = L"Riquadro";
}

void Riquadro::Registra(HINSTANCE istanza)
{
    WNDCLASSEXW classe {};
    classe.cbSize = sizeof classe;
    classe.lpfnWndProc = Procedura<Riquadro>;
    classe.hInstance = istanza;
    classe.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    classe.lpszClassName = Classe;
    RegisterClassExW(&classe);
}

Riquadro::Riquadro(HWND finestra, int id, const std::wstring& caption, bool captionPropria)
    : m_testo(caption)
{
    const auto istanza = HINSTANCE(GetWindowLongPtrW(finestra, GWLP_HINSTANCE));
    // Tab and the arrow keys look for controls inside it.
    m_hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, Classe, caption.c_str(),
        WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, finestra, HMENU(INT_PTR(id)), istanza, this);
    // A panel's labels are transparent and reach its edges: a group box window would be clipped
    // out under them and lose those parts of its border. So a panel draws its group box itself,
    // beneath all its children, and the window of the group box stays hidden.
    m_groupBox = CreateWindowExW(0, L"BUTTON", captionPropria ? L"" : caption.c_str(),
        WS_CHILD | (captionPropria ? 0 : WS_VISIBLE) | WS_CLIPSIBLINGS | WS_GROUP | BS_GROUPBOX, 0,
        0, 0, 0, m_hwnd, nullptr, istanza, nullptr);
    if (captionPropria)
        m_caption = CreateWindowExW(0, L"STATIC", caption.c_str(),
            WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0,
            m_hwnd, nullptr, istanza, nullptr);
    m_accessibile.ruolo = Accessibile::Ruolo::Raggruppamento;
}

Riquadro::~Riquadro() = default;

void Riquadro::ImpostaDialogo(const std::wstring& nome, const std::wstring& testo)
{
    m_accessibile.ruolo = Accessibile::Ruolo::Dialogo;
    SetWindowTextW(m_hwnd, nome.c_str()); // the caption is a label of its own; this shows nowhere
    m_accessibile.nome = [nome] { return nome; };
    m_accessibile.descrizione = [testo] { return testo; };
}

void Riquadro::Disponi(RECT posizione, HFONT font, int margineCaption)
{
    SetWindowPos(m_hwnd, nullptr, posizione.left, posizione.top, posizione.right - posizione.left,
        posizione.bottom - posizione.top, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_groupBox, HWND_TOP, 0, 0, posizione.right - posizione.left,
        posizione.bottom - posizione.top, SWP_NOACTIVATE);
    SendMessageW(m_groupBox, WM_SETFONT, WPARAM(font), FALSE);
    if (!m_caption)
        return;
    SendMessageW(m_caption, WM_SETFONT, WPARAM(font), FALSE);
    HDC dc = GetDC(m_caption);
    HGDIOBJ vecchio = SelectObject(dc, font);
    SIZE testo {};
    GetTextExtentPoint32W(dc, m_testo.c_str(), int(m_testo.size()), &testo);
    SelectObject(dc, vecchio);
    ReleaseDC(m_caption, dc);
    // A pixel of the background on either side, as a group box leaves round its caption.
    SetWindowPos(m_caption, HWND_TOP, margineCaption, 0, testo.cx + 2, testo.cy, SWP_NOACTIVATE);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Riquadro::ImpostaLinee(std::vector<Linea> linee)
{
    m_linee = std::move(linee);
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

LRESULT Riquadro::Gestisci(UINT messaggio, WPARAM w, LPARAM l)
{
    switch (messaggio) {
    case WM_ERASEBKGND: {
        RECT area {};
        GetClientRect(m_hwnd, &area);
        FillRect(HDC(w), &area,
            m_sfondo ? Tavolozza::Sfondo(m_sfondo, true) : GetSysColorBrush(COLOR_BTNFACE));
        if (m_sfondo)
            Tavolozza::SfondoDelleFigure(m_hwnd, HDC(w), m_sfondo);
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        if (m_caption) // a panel: its group box is drawn here, under its children
            SendMessageW(m_groupBox, WM_PRINTCLIENT, WPARAM(dc), PRF_CLIENT);
        // The lines listed first lie in front: they are drawn last.
        for (auto linea = m_linee.rbegin(); linea != m_linee.rend(); ++linea) {
            const int prima = linea->spessore / 2;
            const int dopo = linea->spessore - prima - 1;
            RECT tratto { std::min(linea->da.x, linea->a.x), std::min(linea->da.y, linea->a.y),
                std::max(linea->da.x, linea->a.x) + 1, std::max(linea->da.y, linea->a.y) + 1 };
            if (linea->da.y == linea->a.y) {
                tratto.top -= prima;
                tratto.bottom += dopo;
            } else {
                tratto.left -= prima;
                tratto.right += dopo;
            }
            HBRUSH pennello = CreateSolidBrush(linea->colore);
            FillRect(dc, &tratto, pennello);
            DeleteObject(pennello);
        }
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return SendMessageW(GetParent(m_hwnd), messaggio, w, l);
    case WM_GETOBJECT:
        return m_accessibile.Rispondi(m_hwnd, w, l);
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, messaggio, w, l);
}
