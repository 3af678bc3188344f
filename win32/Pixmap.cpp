// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pixmap.h"

#include "Dll.h"

#include <wincodec.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

BITMAPINFO Formato32(int larghezza, int altezza)
{
    BITMAPINFO formato {};
    formato.bmiHeader.biSize = sizeof formato.bmiHeader;
    formato.bmiHeader.biWidth = larghezza;
    formato.bmiHeader.biHeight = -altezza; // top row first
    formato.bmiHeader.biPlanes = 1;
    formato.bmiHeader.biBitCount = 32;
    formato.bmiHeader.biCompression = BI_RGB;
    return formato;
}

SIZE Misura(HBITMAP bitmap)
{
    BITMAP info {};
    GetObjectW(bitmap, sizeof info, &info);
    return { info.bmWidth, std::abs(info.bmHeight) };
}

// The rows of a bitmap as 32-bit pixels, whatever its own format; empty when unreadable.
std::vector<std::uint32_t> Pixel32(HBITMAP bitmap, SIZE misura)
{
    std::vector<std::uint32_t> pixel(std::size_t(misura.cx) * std::size_t(misura.cy));
    BITMAPINFO formato = Formato32(misura.cx, misura.cy);
    HDC dc = GetDC(nullptr);
    const int righe
        = GetDIBits(dc, bitmap, 0, UINT(misura.cy), pixel.data(), &formato, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    if (righe != misura.cy)
        pixel.clear();
    return pixel;
}

// The share of each source pixel in each new one, along one side, in units of 1 / nuovo of a
// source pixel: whole numbers, so that a whole factor copies every pixel exactly.
struct Peso {
    int indice;
    int peso;
};

std::vector<std::vector<Peso>> Pesi(int vecchio, int nuovo)
{
    std::vector<std::vector<Peso>> pesi(static_cast<std::size_t>(nuovo));
    for (int d = 0; d < nuovo; ++d) {
        const long long inizio = static_cast<long long>(d) * vecchio;
        const long long fine = inizio + vecchio;
        for (long long s = inizio / nuovo; s * nuovo < fine && s < vecchio; ++s) {
            const long long peso = std::min(fine, (s + 1) * nuovo) - std::max(inizio, s * nuovo);
            if (peso > 0)
                pesi[std::size_t(d)].push_back({ int(s), int(peso) });
        }
    }
    return pesi;
}

// A 32-bit bitmap of the pixmap's size, whose pixels are written through bit.
HBITMAP Dib(const Pixmap& pixmap, std::uint32_t*& bit)
{
    if (pixmap.Vuota())
        return nullptr;
    const BITMAPINFO formato = Formato32(pixmap.larghezza, pixmap.altezza);
    void* pixel = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &formato, DIB_RGB_COLORS, &pixel, nullptr, 0);
    bit = static_cast<std::uint32_t*>(pixel);
    return bitmap;
}

int Canale(std::uint32_t pixel, int spostamento)
{
    return int((pixel >> spostamento) & 0xFF);
}

} // namespace

Pixmap DaBitmap(HBITMAP bitmap)
{
    Pixmap pixmap;
    const SIZE misura = Misura(bitmap);
    pixmap.pixel = Pixel32(bitmap, misura);
    if (pixmap.pixel.empty())
        return {};
    pixmap.larghezza = misura.cx;
    pixmap.altezza = misura.cy;
    for (std::uint32_t& pixel : pixmap.pixel)
        pixel |= 0xFF000000u;
    return pixmap;
}

Pixmap DaIcona(HICON icona)
{
    ICONINFO info {};
    if (!GetIconInfo(icona, &info))
        return {};
    Pixmap pixmap;
    SIZE misura = Misura(info.hbmMask);
    if (info.hbmColor) {
        pixmap.pixel = Pixel32(info.hbmColor, misura);
        // The mask as 32-bit pixels: black where the picture shows, white where it is clear.
        const std::vector<std::uint32_t> maschera = Pixel32(info.hbmMask, misura);
        // An icon with an alpha channel has pixels of more than one opacity; one without gets
        // the same opacity in every pixel, and its mask tells.
        const bool conAlpha = std::any_of(pixmap.pixel.begin(), pixmap.pixel.end(),
            [&](std::uint32_t pixel) { return pixel >> 24 != pixmap.pixel.front() >> 24; });
        if (maschera.size() != pixmap.pixel.size())
            pixmap.pixel.clear();
        for (std::size_t i = 0; i < pixmap.pixel.size(); ++i) {
            const std::uint32_t colore = pixmap.pixel[i] & 0xFFFFFFu;
            const std::uint32_t alpha
                = conAlpha ? pixmap.pixel[i] >> 24 : ((maschera[i] & 0xFFFFFFu) ? 0u : 0xFFu);
            pixmap.pixel[i] = alpha ? (alpha << 24 | colore) : 0u;
        }
        DeleteObject(info.hbmColor);
    }
    DeleteObject(info.hbmMask);
    if (pixmap.pixel.empty())
        return {};
    pixmap.larghezza = misura.cx;
    pixmap.altezza = misura.cy;
    return pixmap;
}

namespace {

// Releases a COM interface when it goes out of scope.
template <class T> struct Com {
    T* p = nullptr;
    ~Com()
    {
        if (p)
            p->Release();
    }
    T* operator->() const { return p; }
};

// COM, for the few starts that decode a picture drawn larger.
struct Com32 {
    decltype(CoInitializeEx)* inizializza
        = DaDll<decltype(CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    decltype(CoUninitialize)* chiudi
        = DaDll<decltype(CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    decltype(CoCreateInstance)* crea
        = DaDll<decltype(CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
};

const Com32& Ole32()
{
    static const Com32 com;
    return com;
}

Pixmap DecodificaPng(const void* dati, DWORD dimensione)
{
    Com<IWICImagingFactory> fabbrica;
    Com<IWICStream> flusso;
    Com<IWICBitmapDecoder> decodificatore;
    Com<IWICBitmapFrameDecode> quadro;
    Com<IWICFormatConverter> convertitore;
    UINT larghezza = 0;
    UINT altezza = 0;
    if (FAILED(Ole32().crea(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
            IID_IWICImagingFactory, reinterpret_cast<void**>(&fabbrica.p)))
        || FAILED(fabbrica->CreateStream(&flusso.p))
        || FAILED(
            flusso->InitializeFromMemory(static_cast<BYTE*>(const_cast<void*>(dati)), dimensione))
        || FAILED(fabbrica->CreateDecoderFromStream(
            flusso.p, nullptr, WICDecodeMetadataCacheOnDemand, &decodificatore.p))
        || FAILED(decodificatore->GetFrame(0, &quadro.p))
        || FAILED(fabbrica->CreateFormatConverter(&convertitore.p))
        || FAILED(convertitore->Initialize(quadro.p, GUID_WICPixelFormat32bppBGRA,
            WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom))
        || FAILED(convertitore->GetSize(&larghezza, &altezza)) || larghezza == 0 || altezza == 0
        || larghezza > 4096 || altezza > 4096)
        return {};
    Pixmap pixmap;
    pixmap.pixel.resize(std::size_t(larghezza) * altezza);
    // Straight (not premultiplied) alpha in 0xAARRGGBB words: our own pixel layout.
    if (FAILED(convertitore->CopyPixels(nullptr, larghezza * 4, UINT(pixmap.pixel.size() * 4),
            reinterpret_cast<BYTE*>(pixmap.pixel.data()))))
        return {};
    for (std::uint32_t& pixel : pixmap.pixel)
        if (!(pixel >> 24))
            pixel = 0;
    pixmap.larghezza = int(larghezza);
    pixmap.altezza = int(altezza);
    return pixmap;
}

} // namespace

Pixmap DaPng(HINSTANCE istanza, int id)
{
    HRSRC trovata = FindResourceW(istanza, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    HGLOBAL caricata = trovata ? LoadResource(istanza, trovata) : nullptr;
    const void* dati = caricata ? LockResource(caricata) : nullptr;
    if (!dati)
        return {};
    // Whatever the thread's COM state, the decoding needs it only for its own duration.
    const Com32& com = Ole32();
    if (!com.inizializza || !com.chiudi || !com.crea)
        return {};
    const HRESULT iniziato = com.inizializza(nullptr, COINIT_APARTMENTTHREADED);
    Pixmap pixmap = DecodificaPng(dati, SizeofResource(istanza, trovata));
    if (SUCCEEDED(iniziato))
        com.chiudi();
    return pixmap;
}

Pixmap Ricampiona(const Pixmap& sorgente, int larghezza, int altezza)
{
    if (sorgente.Vuota() || larghezza <= 0 || altezza <= 0)
        return {};
    if (larghezza == sorgente.larghezza && altezza == sorgente.altezza)
        return sorgente;
    const auto orizzontali = Pesi(sorgente.larghezza, larghezza);
    const auto verticali = Pesi(sorgente.altezza, altezza);
    Pixmap nuova;
    nuova.larghezza = larghezza;
    nuova.altezza = altezza;
    nuova.pixel.resize(std::size_t(larghezza) * std::size_t(altezza));
    for (int y = 0; y < altezza; ++y) {
        for (int x = 0; x < larghezza; ++x) {
            double area = 0, alpha = 0, r = 0, g = 0, b = 0;
            for (const Peso& py : verticali[std::size_t(y)]) {
                for (const Peso& px : orizzontali[std::size_t(x)]) {
                    const std::uint32_t pixel
                        = sorgente.pixel[std::size_t(py.indice) * std::size_t(sorgente.larghezza)
                            + std::size_t(px.indice)];
                    const double peso = double(py.peso) * double(px.peso);
                    const double opaco = peso * Canale(pixel, 24);
                    area += peso;
                    alpha += opaco;
                    r += opaco * Canale(pixel, 16);
                    g += opaco * Canale(pixel, 8);
                    b += opaco * Canale(pixel, 0);
                }
            }
            std::uint32_t risultato = 0;
            if (alpha > 0) {
                const auto canale
                    = [alpha](double somma) { return std::uint32_t(std::lround(somma / alpha)); };
                risultato = std::uint32_t(std::lround(alpha / area)) << 24 | canale(r) << 16
                    | canale(g) << 8 | canale(b);
            }
            nuova.pixel[std::size_t(y) * std::size_t(larghezza) + std::size_t(x)] = risultato;
        }
    }
    return nuova;
}

HBITMAP BitmapSu(const Pixmap& pixmap, COLORREF sfondo)
{
    std::uint32_t* destinazione = nullptr;
    HBITMAP bitmap = Dib(pixmap, destinazione);
    if (!bitmap)
        return nullptr;
    const std::uint32_t dietro
        = std::uint32_t(GetRValue(sfondo)) << 16 | GetGValue(sfondo) << 8 | GetBValue(sfondo);
    for (std::size_t i = 0; i < pixmap.pixel.size(); ++i)
        destinazione[i] = (pixmap.pixel[i] >> 24) >= 128 ? pixmap.pixel[i] & 0xFFFFFFu : dietro;
    GdiFlush();
    return bitmap;
}

HICON IconaDa(const Pixmap& pixmap)
{
    std::uint32_t* bit = nullptr;
    HBITMAP colori = Dib(pixmap, bit);
    if (!colori)
        return nullptr;
    std::copy(pixmap.pixel.begin(), pixmap.pixel.end(), bit);
    // One bit a pixel, rows of whole 16-bit words; 1 where nothing shows.
    const std::size_t riga = std::size_t((pixmap.larghezza + 15) / 16 * 2);
    std::vector<unsigned char> maschera(riga * std::size_t(pixmap.altezza), 0);
    for (int y = 0; y < pixmap.altezza; ++y)
        for (int x = 0; x < pixmap.larghezza; ++x)
            if (pixmap.Alpha(x, y) == 0)
                maschera[std::size_t(y) * riga + std::size_t(x / 8)] |= 0x80 >> (x % 8);
    GdiFlush();
    ICONINFO info {};
    info.fIcon = TRUE;
    info.hbmColor = colori;
    info.hbmMask = CreateBitmap(pixmap.larghezza, pixmap.altezza, 1, 1, maschera.data());
    HICON icona = CreateIconIndirect(&info);
    DeleteObject(info.hbmMask);
    DeleteObject(colori);
    return icona;
}
