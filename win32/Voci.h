// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"

#include <windows.h>

#include <functional>
#include <map>
#include <string>

class Esperimento;
class Finestra;
class Figura;
class Riquadro;

// What a screen reader hears of the window's controls beyond their captions: the pictures'
// names, which follow the choices; each panel read as a dialog with its text, and its arrow
// with the same; a chosen option's density as its description.
class Voci {
public:
    Voci(const Esperimento& esperimento, const Finestra& finestra);
    Voci(const Voci&) = delete;
    Voci& operator=(const Voci&) = delete;

    // The option answers with the density of the group whose label is densita.
    void SeguiOpzione(HWND opzione, Etichetta densita);
    void Nomina(
        const std::function<Figura*(Immagine)>& picture, Figura* freccia3, Figura* freccia4) const;
    static void Descrivi(Pannello pannello, Riquadro* riquadro, Figura* freccia);

private:
    static LRESULT CALLBACK Opzione(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR voci);
    std::wstring Descrizione(HWND opzione) const;

    const Esperimento& m_esperimento;
    const Finestra& m_finestra;
    std::map<HWND, Etichetta> m_opzioni;
};
