// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <windows.h>

#include <functional>

// A picture control: shows a bitmap or an icon from its top-left corner at its natural size,
// grown by the window's whole factor, and takes that size when a picture is put into it
// (without one it keeps the size it was given). An icon is transparent where its mask says so:
// the window takes the icon's shape, so whatever lies under it shows through. With border
// style 1 it draws a thin single line around itself. It owns its picture and reports presses,
// releases and clicks like a button; every press ends with a release, even when a box opened
// meanwhile takes the mouse away.
class Figura {
public:
    Figura(HWND contenitore, int id, HBRUSH sfondo);
    ~Figura();
    Figura(const Figura&) = delete;
    Figura& operator=(const Figura&) = delete;

    static void Registra(HINSTANCE istanza);

    HWND hwnd() const { return m_hwnd; }

    void ImpostaBitmap(HBITMAP bitmap); // takes it over; null shows nothing
    void ImpostaIcona(HICON icona); // takes it over
    void ImpostaFattore(int fattore); // the whole factor pictures grow by
    void ImpostaMisura(SIZE misura); // the design size, while no picture is shown
    void setBorderStyle(int stile);
    int borderStyle() const { return m_borderStyle; }

    std::function<void()> mouseDown;
    std::function<void()> mouseUp;
    std::function<void()> clicked;

private:
    template <class T> friend LRESULT CALLBACK Procedura(HWND, UINT, WPARAM, LPARAM);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);
    void Disegna(HDC dc) const;
    void Adatta();
    void AggiornaForma();
    void Premi(UINT tasto);
    bool Rilascia(UINT tasto);
    void RilasciaTutti();
    void Libera();

    HWND m_hwnd = nullptr;
    HBRUSH m_sfondo = nullptr; // the container's, not owned
    HBITMAP m_bitmap = nullptr;
    HICON m_icona = nullptr;
    SIZE m_naturale {}; // of the picture, in its own pixels
    SIZE m_misura {}; // the design size
    int m_fattore = 1;
    int m_borderStyle = 0;
    UINT m_premuti = 0; // MK_ bits of the buttons pressed here and not yet released
    bool m_tastoGiu = false; // Space held while focused
    bool m_fuoco = false;
};
