// SPDX-License-Identifier: GPL-3.0-or-later
// How fast sndPlaySoundA returns with Idrovela's call, flags 7 (asynchronous, no default
// sound, from memory), under Wine or Windows:
//
//   idrovela-bench-sndplaysound.exe IDROVELA.EXE [calls]
//
// The WAVE image is the CUSTOM 101 resource of the Idrovela.exe named, read as a data file;
// a path to a .wav file works too. The first call of the process (which opens the sound
// device) is timed apart from the rest; each later call cuts the sound before it, as a new
// run does. Prints one line of JSON: {"ritorno_primo_ms": x, "ritorno_ms": {"mediana", "q1",
// "q3", "minimo", "massimo", "numero"}, "byte": n}, or {"errore": "..."} with status 1.

#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<char> DaRisorsa(const wchar_t* percorso)
{
    HMODULE modulo = LoadLibraryExW(
        percorso, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!modulo)
        return {};
    std::vector<char> dati;
    if (HRSRC risorsa = FindResourceW(modulo, MAKEINTRESOURCEW(101), L"CUSTOM"))
        if (HGLOBAL caricata = LoadResource(modulo, risorsa))
            if (const void* p = LockResource(caricata)) {
                const char* inizio = static_cast<const char*>(p);
                dati.assign(inizio, inizio + SizeofResource(modulo, risorsa));
            }
    FreeLibrary(modulo);
    return dati;
}

std::vector<char> DaFile(const wchar_t* percorso)
{
    std::ifstream file(percorso, std::ios::binary);
    return { std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>() };
}

double Ms(LARGE_INTEGER da, LARGE_INTEGER a, LARGE_INTEGER frequenza)
{
    return double(a.QuadPart - da.QuadPart) * 1000.0 / double(frequenza.QuadPart);
}

double Quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    const double posizione = q * double(v.size() - 1);
    const size_t i = size_t(posizione);
    const double resto = posizione - double(i);
    return i + 1 < v.size() ? v[i] * (1 - resto) + v[i + 1] * resto : v[i];
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc < 2) {
        std::printf("{\"errore\": \"usage: idrovela-bench-sndplaysound IDROVELA.EXE [calls]\"}\n");
        return 64;
    }
    const int chiamate = argc > 2 ? std::max(2, _wtoi(argv[2])) : 20;
    const size_t lunghezza = std::wcslen(argv[1]);
    const bool wav = lunghezza > 4 && _wcsicmp(argv[1] + lunghezza - 4, L".wav") == 0;
    const std::vector<char> suono = wav ? DaFile(argv[1]) : DaRisorsa(argv[1]);
    if (suono.empty()) {
        std::printf("{\"errore\": \"no CUSTOM 101 and no WAVE file there\"}\n");
        return 1;
    }

    LARGE_INTEGER frequenza;
    QueryPerformanceFrequency(&frequenza);
    std::vector<double> tempi;
    double primo = 0;
    for (int i = 0; i < chiamate; ++i) {
        LARGE_INTEGER prima, dopo;
        QueryPerformanceCounter(&prima);
        const BOOL avviato = sndPlaySoundA(suono.data(), SND_ASYNC | SND_NODEFAULT | SND_MEMORY);
        QueryPerformanceCounter(&dopo);
        if (!avviato) {
            std::printf("{\"errore\": \"sndPlaySoundA did not start the sound\"}\n");
            return 1;
        }
        if (i == 0)
            primo = Ms(prima, dopo, frequenza);
        else
            tempi.push_back(Ms(prima, dopo, frequenza));
        Sleep(300); // a while into the sound, as a pupil's next run would be
    }
    sndPlaySoundA(nullptr, 0);
    std::printf("{\"byte\": %u, \"ritorno_primo_ms\": %.4f, \"ritorno_ms\": {\"mediana\": %.4f, "
                "\"q1\": %.4f, \"q3\": %.4f, \"minimo\": %.4f, \"massimo\": %.4f, \"numero\": "
                "%u}}\n",
        unsigned(suono.size()), primo, Quantile(tempi, 0.5), Quantile(tempi, 0.25),
        Quantile(tempi, 0.75), Quantile(tempi, 0), Quantile(tempi, 1), unsigned(tempi.size()));
    return 0;
}
