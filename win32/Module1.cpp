// SPDX-License-Identifier: GPL-3.0-or-later
#include "Module1.h"

#include "LettoreWave.h"

#include <windows.h>

#include <mmsystem.h>

std::string Module1::DatiSuono;

void Module1::RiproduciSuono(int id)
{
    HMODULE modulo = GetModuleHandleW(nullptr);
    HRSRC risorsa = FindResourceW(modulo, MAKEINTRESOURCEW(id), L"CUSTOM");
    HGLOBAL caricata = risorsa ? LoadResource(modulo, risorsa) : nullptr;
    const DWORD dimensione = risorsa ? SizeofResource(modulo, risorsa) : 0;
    const void* byte = caricata ? LockResource(caricata) : nullptr;
    if (!byte || dimensione == 0)
        return;

    // The system's reader trusts the sizes in the header and is handed no length, so only an
    // image that our reader has checked reaches it.
    Ferma();
    DatiSuono.assign(static_cast<const char*>(byte), dimensione);
    if (LettoreWave::Leggi(DatiSuono.data(), std::ptrdiff_t(DatiSuono.size())))
        sndPlaySoundA(DatiSuono.data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);

    MSG messaggio;
    while (PeekMessageW(&messaggio, nullptr, 0, 0, PM_REMOVE)) {
        if (messaggio.message == WM_QUIT) {
            PostQuitMessage(int(messaggio.wParam)); // for the loop that waits for it
            break;
        }
        TranslateMessage(&messaggio);
        DispatchMessageW(&messaggio);
    }
}

void Module1::Ferma()
{
    sndPlaySoundA(nullptr, 0);
}
