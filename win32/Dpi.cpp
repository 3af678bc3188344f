// SPDX-License-Identifier: GPL-3.0-or-later
#include "Dpi.h"

#include <cwchar>

namespace {

// The functions that know the DPI of each monitor came with Windows 10; before it the
// system's DPI stands for every window.
template <typename Funzione> Funzione DaUser32(const char* nome)
{
    return reinterpret_cast<Funzione>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"user32.dll"), nome)));
}

} // namespace

int DpiDi(HWND hwnd)
{
    static const auto perFinestra = DaUser32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (perFinestra && hwnd)
        return int(perFinestra(hwnd));
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}

void AdattaRettangolo(RECT& rettangolo, DWORD stile, DWORD stileEsteso, int dpi)
{
    static const auto perDpi
        = DaUser32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (perDpi)
        perDpi(&rettangolo, stile, TRUE, stileEsteso, UINT(dpi));
    else
        AdjustWindowRectEx(&rettangolo, stile, TRUE, stileEsteso);
}

int MetricaDi(int metrica, int dpi)
{
    static const auto perDpi = DaUser32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return perDpi ? perDpi(metrica, UINT(dpi)) : GetSystemMetrics(metrica);
}

LOGFONTW FontDeiMessaggi(int dpi)
{
    static const auto perDpi
        = DaUser32<BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT)>("SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metriche {};
    metriche.cbSize = sizeof metriche;
    const bool letto = perDpi
        ? perDpi(SPI_GETNONCLIENTMETRICS, sizeof metriche, &metriche, 0, UINT(dpi))
        : SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metriche, &metriche, 0);
    if (!letto)
        std::wcscpy(metriche.lfMessageFont.lfFaceName, L"MS Shell Dlg 2");
    return metriche.lfMessageFont;
}
