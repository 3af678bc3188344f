// SPDX-License-Identifier: GPL-3.0-or-later
#include "Module1.h"

#include "LettoreWave.h"

#include <windows.h>

#include <mmsystem.h>

#include <utility>

std::string Module1::DatiSuono;

namespace {

// How long the way out waits for the sound to stop.
constexpr DWORD AttesaFermaMs = 500;

// The system's calls run on a thread of their own. Stopping a sound waits for the system's
// player to let it go, and when the sound server goes away in the middle of a sound (Wine's
// PulseAudio driver), it never does: that wait would hold the window for good. Only the latest
// request counts, since each one cuts the sound before it.
SRWLOCK blocco = SRWLOCK_INIT;
CONDITION_VARIABLE cambiato = CONDITION_VARIABLE_INIT;
std::string richiesta; // under blocco: the image to play next, or silence when empty
bool inAttesa = false; // under blocco: a request not served yet
unsigned long serviti = 0; // under blocco: requests served so far
unsigned long chiesti = 0; // under blocco
bool avviato = false; // user-interface thread only

DWORD WINAPI Servi(void*)
{
    std::string suona; // what the system reads in place while it plays
    for (;;) {
        AcquireSRWLockExclusive(&blocco);
        while (!inAttesa)
            SleepConditionVariableSRW(&cambiato, &blocco, INFINITE, 0);
        std::string prossima = std::move(richiesta);
        richiesta.clear();
        inAttesa = false;
        const unsigned long numero = chiesti;
        ReleaseSRWLockExclusive(&blocco);

        sndPlaySoundA(nullptr, 0);
        suona = std::move(prossima);
        if (!suona.empty())
            sndPlaySoundA(suona.data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);

        AcquireSRWLockExclusive(&blocco);
        serviti = numero;
        ReleaseSRWLockExclusive(&blocco);
        WakeAllConditionVariable(&cambiato);
    }
}

// Leaves the request for the sound thread and returns its number.
unsigned long Chiedi(std::string immagine)
{
    AcquireSRWLockExclusive(&blocco);
    richiesta = std::move(immagine);
    inAttesa = true;
    const unsigned long numero = ++chiesti;
    ReleaseSRWLockExclusive(&blocco);
    WakeAllConditionVariable(&cambiato);
    if (!avviato) {
        if (HANDLE thread = CreateThread(nullptr, 0, &Servi, nullptr, 0, nullptr)) {
            CloseHandle(thread);
            avviato = true;
        }
    }
    return numero;
}

} // namespace

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
    // image that our reader has checked reaches it; any other only cuts the sound.
    DatiSuono.assign(static_cast<const char*>(byte), dimensione);
    Chiedi(LettoreWave::Leggi(DatiSuono.data(), std::ptrdiff_t(DatiSuono.size())) ? DatiSuono
                                                                                  : std::string());

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
    if (!avviato)
        return;
    const unsigned long numero = Chiedi({});
    const ULONGLONG scadenza = GetTickCount64() + AttesaFermaMs;
    AcquireSRWLockExclusive(&blocco);
    while (serviti < numero) {
        const ULONGLONG adesso = GetTickCount64();
        if (adesso >= scadenza
            || !SleepConditionVariableSRW(&cambiato, &blocco, DWORD(scadenza - adesso), 0))
            break;
    }
    ReleaseSRWLockExclusive(&blocco);
}
