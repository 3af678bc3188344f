// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Accessibile.h"

#include <windows.h>

#include <string>
#include <vector>

// A frame: a group box that holds controls placed from its own top-left corner, with a
// background of its own. A panel's caption has a colour and a font of its own too: the group
// box then leaves its caption to a label laid over its top edge, which the themes respect.
// It passes its children's notifications and colour requests on to the window, and draws
// the lines that lie in it. Its group box lies above its controls, as a dialog's does, which is
// where screen readers look for a control's group. A screen reader finds a frame a grouping and
// a panel a dialog, which it names and describes by its text.
class Riquadro {
public:
    struct Linea {
        POINT da {}, a {}; // in pixels of the frame, end points included
        int spessore = 1; // in pixels
        COLORREF colore = 0;
    };

    Riquadro(HWND finestra, int id, const std::wstring& caption, bool captionPropria);
    ~Riquadro();
    Riquadro(const Riquadro&) = delete;
    Riquadro& operator=(const Riquadro&) = delete;

    static void Registra(HINSTANCE istanza);

    HWND hwnd() const { return m_hwnd; }
    HWND GroupBox() const { return m_groupBox; }
    HWND Caption() const { return m_caption; } // null when the group box draws it

    void ImpostaSfondo(HBRUSH sfondo) { m_sfondo = sfondo; } // not owned
    // Size in pixels and the caption's font; the label of the caption is measured on it.
    void Disponi(RECT posizione, HFONT font, int margineCaption);
    void ImpostaLinee(std::vector<Linea> linee);
    void ImpostaDialogo(const std::wstring& nome, const std::wstring& testo);

private:
    template <class T> friend LRESULT CALLBACK Procedura(HWND, UINT, WPARAM, LPARAM);
    LRESULT Gestisci(UINT messaggio, WPARAM w, LPARAM l);

    HWND m_hwnd = nullptr;
    HWND m_groupBox = nullptr;
    HWND m_caption = nullptr;
    HBRUSH m_sfondo = nullptr;
    std::wstring m_testo;
    std::vector<Linea> m_linee;
    Accessibile m_accessibile;
};
