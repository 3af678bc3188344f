// SPDX-License-Identifier: GPL-3.0-or-later
#include "Module1.h"

#include "LettoreWave.h"

#include <emscripten.h>

// clang-format off
EM_JS(int, DimensioneRisorsa, (const char* tipo, int id), {
    const byte = Idrovela.byte[UTF8ToString(tipo) + "/" + id];
    return byte ? byte.length : 0;
});

EM_JS(void, CopiaRisorsa, (const char* tipo, int id, char* dove), {
    HEAPU8.set(Idrovela.byte[UTF8ToString(tipo) + "/" + id], dove);
});

EM_JS(void, SuonaCampioni, (const char* inizio, int lunghezza, int canali, int frequenza, int bit), {
    Idrovela.suona(HEAPU8.subarray(inizio, inizio + lunghezza), canali, frequenza, bit);
});

EM_JS(void, FermaSuono, (), {
    Idrovela.ferma();
});
// clang-format on

std::string Module1::DatiSuono;

void Module1::RiproduciSuono(int id)
{
    const int dimensione = DimensioneRisorsa("CUSTOM", id);
    if (dimensione <= 0)
        return;
    Ferma();
    DatiSuono.assign(std::size_t(dimensione), '\0');
    CopiaRisorsa("CUSTOM", id, DatiSuono.data());
    // The player is handed only samples that our reader has found inside the image.
    const auto campioni = LettoreWave::Leggi(DatiSuono);
    if (campioni)
        SuonaCampioni(DatiSuono.data() + campioni->inizio, int(campioni->lunghezza),
            campioni->canali, campioni->frequenza, campioni->bit);
}

void Module1::Ferma()
{
    FermaSuono();
}
