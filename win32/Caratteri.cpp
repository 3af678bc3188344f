// SPDX-License-Identifier: GPL-3.0-or-later
#include "Caratteri.h"

#include <cwchar>

namespace {

int CALLBACK TrovataFamiglia(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM trovata)
{
    *reinterpret_cast<bool*>(trovata) = true;
    return 0;
}

bool FamigliaPresente(const wchar_t* famiglia)
{
    LOGFONTW cercato {};
    cercato.lfCharSet = DEFAULT_CHARSET;
    std::wcscpy(cercato.lfFaceName, famiglia);
    bool trovata = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &cercato, TrovataFamiglia, LPARAM(&trovata), 0);
    ReleaseDC(nullptr, dc);
    return trovata;
}

} // namespace

// "Arial" or its metric twin, which wraps the texts exactly as designed. The twin goes first:
// a system without Arial may answer for it with a wider face of its own.
const wchar_t* FamigliaArial()
{
    static const wchar_t* const famiglia
        = FamigliaPresente(L"Liberation Sans") ? L"Liberation Sans" : L"Arial";
    return famiglia;
}

HFONT Arial(int centesimiDiPunto, bool grassetto, int dpi)
{
    return CreateFontW(-MulDiv(centesimiDiPunto, dpi, 7200), 0, 0, 0,
        grassetto ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
        CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, FamigliaArial());
}
