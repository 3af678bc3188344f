// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figura.h"
#include "Geometria.h"
#include "Procedura.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace {

constexpr wchar_t Classe[] = L"Figura";
constexpr UINT Premuto = WM_APP; // pressed by a screen reader's default action

// The opaque pixels of a picture, as a region.
HRGN RegioneOpaca(const Pixmap& pixmap)
{
    HRGN regione = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < pixmap.altezza; ++y) {
        int x = 0;
        while (x < pixmap.larghezza) {
            const auto opaco = [&](int px) { return pixmap.Alpha(px, y) >= 128; };
            while (x < pixmap.larghezza && !opaco(x))
                ++x;
            const int inizio = x;
            while (x < pixmap.larghezza && opaco(x))
                ++x;
            if (x > inizio) {
                HRGN tratto = CreateRectRgn(inizio, y, x, y + 1);
                CombineRgn(regione, regione, tratto, RGN_OR);
                DeleteObject(tratto);
            }
        }
    }
    return regione;
}

// The larger drawing that suits a screen, resampled from there to the exact size.
int ScalaPer(int dpi)
{
    return Geometria::ScalaDisegno(double(dpi) / Twips::DpiStandard);
}

COLORREF ColoreDi(HBRUSH pennello)
{
    LOGBRUSH info {};
    GetObjectW(pennello, sizeof info, &info);
    return info.lbColor;
}

} // namespace

void Figura::Registra(HINSTANCE istanza)
{
    WNDCLASSEXW classe {};
    classe.cbSize = sizeof classe;
    classe.style = CS_DBLCLKS;
    classe.lpfnWndProc = Procedura<Figura>;
    classe.hInstance = istanza;
    classe.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    classe.lpszClassName = Classe;
    RegisterClassExW(&classe);
}

Figura::Figura(HWND contenitore, int id, HBRUSH sfondo)
    : m_sfondo(sfondo)
{
    m_hwnd = CreateWindowExW(0, Classe, L"", WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, contenitore,
        HMENU(INT_PTR(id)), HINSTANCE(GetWindowLongPtrW(contenitore, GWLP_HINSTANCE)), this);
    m_accessibile.descrizione = [this] { return m_descrizione; };
}

Figura::~Figura()
{
    if (m_bitmap)
        DeleteObject(m_bitmap);
}

void Figura::ImpostaBitmap(HBITMAP bitmap, Grandi grandi)
{
    // No such picture: nothing shows, and the control keeps its size.
    Imposta(bitmap ? DaBitmap(bitmap) : Pixmap(), false, bitmap ? std::move(grandi) : Grandi());
    if (bitmap)
        DeleteObject(bitmap);
}

void Figura::ImpostaIcona(HICON icona, Grandi grandi)
{
    if (!icona)
        return;
    Imposta(DaIcona(icona), true, std::move(grandi));
    DestroyIcon(icona);
}

void Figura::Imposta(Pixmap originale, bool maschera, Grandi grandi)
{
    m_originale = std::move(originale);
    m_maschera = maschera;
    m_grandi = std::move(grandi);
    m_grande = {};
    m_scalaGrande = 1;
    Adatta();
}

void Figura::ImpostaDpi(int dpi)
{
    m_dpi = dpi;
    Adatta();
}

void Figura::ImpostaMisura(SIZE misura)
{
    m_misura = misura;
    Adatta();
}

void Figura::Adatta()
{
    // Drawn again only when the scale it needs changes, as after a move to another screen.
    const int scala = ScalaPer(m_dpi);
    if (scala != m_scalaGrande) {
        m_grande = scala > 1 && m_grandi ? m_grandi(scala) : Pixmap();
        m_scalaGrande = scala;
        const bool misuraGiusta = m_grande.larghezza == scala * m_originale.larghezza
            && m_grande.altezza == scala * m_originale.altezza;
        if (!misuraGiusta)
            m_grande = {};
    }
    const Pixmap& sorgente = m_grande.Vuota() ? m_originale : m_grande;
    // A picture of w pixels covers 15 w twips, and goes through the layout's own rounding.
    m_scalata = Ricampiona(sorgente, Twips::Px(15 * m_originale.larghezza, m_dpi),
        Twips::Px(15 * m_originale.altezza, m_dpi));
    if (m_bitmap)
        DeleteObject(m_bitmap);
    m_bitmap = BitmapSu(m_scalata, ColoreDi(m_sfondo));
    const SIZE misura = m_bitmap ? SIZE { m_scalata.larghezza, m_scalata.altezza } : m_misura;
    SetWindowPos(
        m_hwnd, nullptr, 0, 0, misura.cx, misura.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    AggiornaForma();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

int Figura::Spessore() const
{
    return std::max(1, MulDiv(1, m_dpi, Twips::DpiStandard));
}

void Figura::AggiornaForma()
{
    if (!m_maschera || m_scalata.Vuota()) {
        SetWindowRgn(m_hwnd, nullptr, IsWindowVisible(m_hwnd));
        return;
    }
    // The border and the focus frame lie round the picture: the shape takes them in too.
    HRGN regione = RegioneOpaca(m_scalata);
    RECT area {};
    GetClientRect(m_hwnd, &area);
    const auto anello = [&](RECT bordo, int spessore) {
        HRGN esterno = CreateRectRgnIndirect(&bordo);
        InflateRect(&bordo, -spessore, -spessore);
        HRGN interno = CreateRectRgnIndirect(&bordo);
        CombineRgn(esterno, esterno, interno, RGN_DIFF);
        CombineRgn(regione, regione, esterno, RGN_OR);
        DeleteObject(interno);
        DeleteObject(esterno);
    };
    if (m_borderStyle == 1)
        anello(area, Spessore());
    if (m_fuoco && m_bottone) {
        InflateRect(&area, -(Spessore() + 1), -(Spessore() + 1));
        anello(area, 1);
    }
    SetWindowRgn(m_hwnd, regione, IsWindowVisible(m_hwnd)); // the window owns the region
}

void Figura::setDescrizione(const std::wstring& descrizione)
{
    if (descrizione == m_descrizione)
        return;
    m_descrizione = descrizione;
    NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, m_hwnd, OBJID_CLIENT, CHILDID_SELF);
}

void Figura::setBorderStyle(int stile)
{
    if (stile == m_borderStyle)
        return;
    m_borderStyle = stile;
    AggiornaForma();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Figura::Disegna(HDC dc) const
{
    RECT area {};
    GetClientRect(m_hwnd, &area);
    FillRect(dc, &area, m_sfondo);
    if (m_bitmap) {
        HDC memoria = CreateCompatibleDC(dc);
        HGDIOBJ vecchio = SelectObject(memoria, m_bitmap);
        BitBlt(dc, 0, 0, m_scalata.larghezza, m_scalata.altezza, memoria, 0, 0, SRCCOPY);
        SelectObject(memoria, vecchio);
        DeleteDC(memoria);
    }
    if (m_borderStyle == 1) {
        // One pixel of the design wide, whatever the screen's scale.
        HBRUSH nero = HBRUSH(GetStockObject(BLACK_BRUSH));
        const int l = Spessore();
        const RECT lati[]
            = { { 0, 0, area.right, l }, { 0, area.bottom - l, area.right, area.bottom },
                  { 0, 0, l, area.bottom }, { area.right - l, 0, area.right, area.bottom } };
        for (const RECT& lato : lati)
            FillRect(dc, &lato, nero);
    }
    if (m_fuoco && m_bottone) {
        RECT fuoco = area;
        InflateRect(&fuoco, -(Spessore() + 1), -(Spessore() + 1));
        DrawFocusRect(dc, &fuoco);
    }
}

void Figura::Premi(UINT tasto)
{
    if (!m_premuti)
        SetCapture(m_hwnd);
    m_premuti |= tasto;
    if (mouseDown)
        mouseDown();
}

bool Figura::Rilascia(UINT tasto)
{
    if (!(m_premuti & tasto))
        return false;
    m_premuti &= ~tasto;
    if (!m_premuti && GetCapture() == m_hwnd)
        ReleaseCapture();
    if (mouseUp)
        mouseUp();
    return true;
}

void Figura::RilasciaTutti()
{
    for (UINT tasto : { UINT(MK_LBUTTON), UINT(MK_RBUTTON), UINT(MK_MBUTTON), UINT(MK_XBUTTON1),
             UINT(MK_XBUTTON2) })
        Rilascia(tasto);
}

LRESULT Figura::Gestisci(UINT messaggio, WPARAM w, LPARAM l)
{
    const auto tastoDi = [](UINT messaggio, WPARAM w) -> UINT {
        switch (messaggio) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_LBUTTONUP:
            return MK_LBUTTON;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
            return MK_RBUTTON;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
        case WM_MBUTTONUP:
            return MK_MBUTTON;
        default:
            return GET_XBUTTON_WPARAM(w) == XBUTTON1 ? MK_XBUTTON1 : MK_XBUTTON2;
        }
    };
    switch (messaggio) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hwnd, &ps);
        Disegna(dc);
        EndPaint(m_hwnd, &ps);
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONDBLCLK:
        Premi(tastoDi(messaggio, w));
        return messaggio == WM_XBUTTONDOWN || messaggio == WM_XBUTTONDBLCLK;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP: {
        const UINT tasto = tastoDi(messaggio, w);
        RECT area {};
        GetClientRect(m_hwnd, &area);
        const POINT punto { GET_X_LPARAM(l), GET_Y_LPARAM(l) };
        // Like a button: a left press released over the picture is a click.
        if (Rilascia(tasto) && tasto == MK_LBUTTON && PtInRect(&area, punto) && clicked)
            clicked();
        return messaggio == WM_XBUTTONUP;
    }
    case WM_CAPTURECHANGED:
        // A box or a menu took the mouse while a button was held here: the press ends now.
        if (HWND(l) != m_hwnd)
            RilasciaTutti();
        return 0;
    case WM_GETDLGCODE:
        if (!m_bottone)
            return 0; // Return is the window's
        if (l && reinterpret_cast<const MSG*>(l)->message == WM_KEYDOWN
            && reinterpret_cast<const MSG*>(l)->wParam == VK_RETURN)
            return DLGC_WANTMESSAGE;
        return DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if (!m_bottone)
            break;
        if (w == VK_SPACE && !m_tastoGiu && !(l & (1 << 30))) {
            m_tastoGiu = true;
            setBorderStyle(1);
        } else if (w == VK_RETURN && clicked) {
            clicked();
        }
        return 0;
    case WM_KEYUP:
        if (!m_bottone)
            break;
        if (w == VK_SPACE && m_tastoGiu) {
            m_tastoGiu = false;
            setBorderStyle(0);
            if (clicked)
                clicked();
        }
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        m_fuoco = messaggio == WM_SETFOCUS;
        if (!m_fuoco && m_tastoGiu) {
            m_tastoGiu = false;
            setBorderStyle(0);
        }
        AggiornaForma();
        InvalidateRect(m_hwnd, nullptr, FALSE);
        return 0;
    case Premuto:
        if (clicked && IsWindowVisible(m_hwnd) && IsWindowEnabled(m_hwnd))
            clicked();
        return 0;
    case WM_GETOBJECT: {
        m_accessibile.ruolo = m_bottone ? Accessibile::Ruolo::Bottone : Accessibile::Ruolo::Grafico;
        m_accessibile.azione = m_bottone ? L"Premi" : L"";
        m_accessibile.esegui = nullptr;
        if (m_bottone) // after the call: the caller waits on it, and the click may take long
            m_accessibile.esegui = [this] { PostMessageW(m_hwnd, Premuto, 0, 0); };
        return m_accessibile.Rispondi(m_hwnd, w, l);
    }
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, messaggio, w, l);
}
