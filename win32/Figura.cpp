// SPDX-License-Identifier: GPL-3.0-or-later
#include "Figura.h"
#include "Procedura.h"

#include <windowsx.h>

#include <cstdlib>
#include <vector>

namespace {

constexpr wchar_t Classe[] = L"Figura";

SIZE MisuraBitmap(HBITMAP bitmap)
{
    BITMAP info {};
    GetObjectW(bitmap, sizeof info, &info);
    return { info.bmWidth, std::abs(info.bmHeight) };
}

SIZE MisuraIcona(HICON icona)
{
    ICONINFO info {};
    if (!GetIconInfo(icona, &info))
        return {};
    SIZE misura = MisuraBitmap(info.hbmMask);
    if (!info.hbmColor)
        misura.cy /= 2; // a monochrome icon keeps its image and its mask in one bitmap
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return misura;
}

// The opaque pixels of an icon, grown by a whole factor, as a region.
HRGN RegioneIcona(HICON icona, SIZE misura, int fattore)
{
    ICONINFO info {};
    if (!GetIconInfo(icona, &info))
        return nullptr;
    const int larghezzaRiga = ((misura.cx + 31) / 32) * 4;
    std::vector<unsigned char> maschera(std::size_t(larghezzaRiga) * std::size_t(misura.cy));
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colori[2];
    } formato {};
    formato.header.biSize = sizeof formato.header;
    formato.header.biWidth = misura.cx;
    formato.header.biHeight = -misura.cy; // top row first
    formato.header.biPlanes = 1;
    formato.header.biBitCount = 1;
    HDC dc = GetDC(nullptr);
    const int righe = GetDIBits(dc, info.hbmMask, 0, UINT(misura.cy), maschera.data(),
        reinterpret_cast<BITMAPINFO*>(&formato), DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (righe != misura.cy)
        return nullptr;

    HRGN regione = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y < misura.cy; ++y) {
        const unsigned char* riga = maschera.data() + std::size_t(y) * std::size_t(larghezzaRiga);
        int x = 0;
        while (x < misura.cx) {
            const auto trasparente = [&](int px) { return (riga[px / 8] >> (7 - px % 8)) & 1; };
            while (x < misura.cx && trasparente(x))
                ++x;
            const int inizio = x;
            while (x < misura.cx && !trasparente(x))
                ++x;
            if (x > inizio) {
                HRGN tratto
                    = CreateRectRgn(inizio * fattore, y * fattore, x * fattore, (y + 1) * fattore);
                CombineRgn(regione, regione, tratto, RGN_OR);
                DeleteObject(tratto);
            }
        }
    }
    return regione;
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
}

Figura::~Figura()
{
    Libera();
}

void Figura::Libera()
{
    if (m_bitmap)
        DeleteObject(m_bitmap);
    if (m_icona)
        DestroyIcon(m_icona);
    m_bitmap = nullptr;
    m_icona = nullptr;
}

void Figura::ImpostaBitmap(HBITMAP bitmap)
{
    Libera();
    if (!bitmap) { // no such picture: nothing shows, and the control keeps its size
        AggiornaForma();
        InvalidateRect(m_hwnd, nullptr, TRUE);
        return;
    }
    m_bitmap = bitmap;
    m_naturale = MisuraBitmap(bitmap);
    Adatta();
}

void Figura::ImpostaIcona(HICON icona)
{
    if (!icona)
        return;
    Libera();
    m_icona = icona;
    m_naturale = MisuraIcona(icona);
    Adatta();
}

void Figura::ImpostaFattore(int fattore)
{
    m_fattore = fattore;
    Adatta();
}

void Figura::ImpostaMisura(SIZE misura)
{
    m_misura = misura;
    Adatta();
}

void Figura::Adatta()
{
    const bool conFigura = m_bitmap || m_icona;
    const SIZE misura
        = conFigura ? SIZE { m_naturale.cx * m_fattore, m_naturale.cy * m_fattore } : m_misura;
    SetWindowPos(
        m_hwnd, nullptr, 0, 0, misura.cx, misura.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    AggiornaForma();
    InvalidateRect(m_hwnd, nullptr, TRUE);
}

void Figura::AggiornaForma()
{
    if (!m_icona) {
        SetWindowRgn(m_hwnd, nullptr, IsWindowVisible(m_hwnd));
        return;
    }
    // The border and the focus frame lie round the picture: the shape takes them in too.
    HRGN regione = RegioneIcona(m_icona, m_naturale, m_fattore);
    if (!regione)
        return;
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
        anello(area, m_fattore);
    if (m_fuoco) {
        InflateRect(&area, -(m_fattore + 1), -(m_fattore + 1));
        anello(area, 1);
    }
    SetWindowRgn(m_hwnd, regione, IsWindowVisible(m_hwnd)); // the window owns the region
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
    const int cx = m_naturale.cx * m_fattore;
    const int cy = m_naturale.cy * m_fattore;
    if (m_bitmap) {
        HDC memoria = CreateCompatibleDC(dc);
        HGDIOBJ vecchio = SelectObject(memoria, m_bitmap);
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, cx, cy, memoria, 0, 0, m_naturale.cx, m_naturale.cy, SRCCOPY);
        SelectObject(memoria, vecchio);
        DeleteDC(memoria);
    } else if (m_icona) {
        SetStretchBltMode(dc, COLORONCOLOR);
        DrawIconEx(dc, 0, 0, m_icona, cx, cy, 0, nullptr, DI_NORMAL);
    }
    if (m_borderStyle == 1) {
        // One pixel of the design wide, whatever the screen's scale.
        HBRUSH nero = HBRUSH(GetStockObject(BLACK_BRUSH));
        const int l = m_fattore;
        const RECT lati[]
            = { { 0, 0, area.right, l }, { 0, area.bottom - l, area.right, area.bottom },
                  { 0, 0, l, area.bottom }, { area.right - l, 0, area.right, area.bottom } };
        for (const RECT& lato : lati)
            FillRect(dc, &lato, nero);
    }
    if (m_fuoco) {
        RECT fuoco = area;
        InflateRect(&fuoco, -(m_fattore + 1), -(m_fattore + 1));
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
        if (l && reinterpret_cast<const MSG*>(l)->message == WM_KEYDOWN
            && reinterpret_cast<const MSG*>(l)->wParam == VK_RETURN)
            return DLGC_WANTMESSAGE;
        return DLGC_WANTCHARS;
    case WM_KEYDOWN:
        if (w == VK_SPACE && !m_tastoGiu && !(l & (1 << 30))) {
            m_tastoGiu = true;
            setBorderStyle(1);
        } else if (w == VK_RETURN && clicked) {
            clicked();
        }
        return 0;
    case WM_KEYUP:
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
    default:
        break;
    }
    return DefWindowProcW(m_hwnd, messaggio, w, l);
}
