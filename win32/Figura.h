// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Accessibile.h"
#include "Pixmap.h"

#include <windows.h>

#include <functional>
#include <string>

// A picture control: shows a bitmap or an icon from its top-left corner at its natural size,
// scaled as the screen's dots per inch scale the layout, and takes that size when a picture is
// put into it (without one it keeps the size it was given). An icon is transparent where its
// mask says so: the window takes the icon's shape, so whatever lies under it shows through. With
// border style 1 it draws a thin single line around itself. It owns its picture and reports
// presses, releases and clicks like a button; every press ends with a release, even when a box
// opened meanwhile takes the mouse away. On a screen of more than 96 dots per inch it shows the
// same picture drawn larger, when it has one, rather than the design picture enlarged. Made a
// button, it also takes Space and Return, shows where the focus is and says to a screen reader
// that it is a button; otherwise it is a graphic.
class Figura {
public:
    // The picture drawn at 2 or 3 times its design size; an empty pixmap where there is none.
    using Grandi = std::function<Pixmap(int scala)>;

    Figura(HWND contenitore, int id, HBRUSH sfondo);
    ~Figura();
    Figura(const Figura&) = delete;
    Figura& operator=(const Figura&) = delete;

    static void Registra(HINSTANCE istanza);

    HWND hwnd() const { return m_hwnd; }

    void ImpostaBitmap(HBITMAP bitmap, Grandi grandi = {}); // takes it over; null shows nothing
    void ImpostaIcona(HICON icona, Grandi grandi = {}); // takes it over
    void ImpostaDpi(int dpi); // the screen's, for which the picture is scaled
    void ImpostaMisura(SIZE misura); // the design size, while no picture is shown
    void setBorderStyle(int stile);
    int borderStyle() const { return m_borderStyle; }
    void setBottone(bool bottone) { m_bottone = bottone; }
    // For a screen reader: the name is the window's text, and this is said after it.
    void setDescrizione(const std::wstring& descrizione);

    std::function<void()> mouseDown;
    std::function<void()> mouseUp;
    std::function<void()> clicked;

private:
    template <class T> friend LRESULT CALLBACK Procedura(HWND, UINT, WPARAM, LPARAM);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);
    void Disegna(HDC dc) const;
    void Imposta(Pixmap originale, bool maschera, Grandi grandi);
    void Adatta();
    void AggiornaForma();
    int Spessore() const; // of the border: a pixel of the design
    void Premi(UINT tasto);
    bool Rilascia(UINT tasto);
    void RilasciaTutti();

    HWND m_hwnd = nullptr;
    HBRUSH m_sfondo = nullptr; // the container's, not owned
    Pixmap m_originale; // the picture as drawn, for 96 dots per inch
    Grandi m_grandi;
    Pixmap m_grande; // the larger drawing for the screen's scale, if any
    int m_scalaGrande = 1; // the scale m_grande was drawn at
    Pixmap m_scalata; // for the screen's dots per inch
    HBITMAP m_bitmap = nullptr; // m_scalata over the background, ready to blit
    bool m_maschera = false; // an icon's transparent pixels shape the window
    SIZE m_misura {}; // the design size
    int m_dpi = 96;
    int m_borderStyle = 0;
    UINT m_premuti = 0; // MK_ bits of the buttons pressed here and not yet released
    bool m_tastoGiu = false; // Space held while focused
    bool m_fuoco = false;
    bool m_bottone = false;
    std::wstring m_descrizione;
    Accessibile m_accessibile;
};
