// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"

#include <array>

struct Liquido {
    const char* caption;
    double densita; // g/cm³
    int bitmapLiquido; // the sample shown in imgLiquido
    int bitmapContenitore; // the tank filled with this liquid
};

struct Materiale {
    const char* caption;
    double densita; // g/cm³
    Immagine corpo; // the body that shows in the tank and moves in a run
    std::array<Immagine, 3> altri; // the other three bodies, hidden when this one is chosen
    int bitmapMateriale; // the sample shown in imgMateriale
};

// The fixed tables of the experiment, keyed by the index of the option button.
namespace Catalogo {

constexpr std::array<Liquido, 4> Liquidi { {
    { "Acqua", 1.0, 104, 101 },
    { "Mercurio", 13.6, 106, 103 },
    { "Olio", 0.9, 105, 102 },
    { "Benzina", 0.73, 106, 103 },
} };

constexpr std::array<Materiale, 4> Materiali { {
    { "Ghiaccio", 0.92, Immagine::imgGhiaccio,
        { Immagine::imgLegno, Immagine::imgFerro, Immagine::imgRame }, 107 },
    { "Ferro", 7.86, Immagine::imgFerro,
        { Immagine::imgLegno, Immagine::imgGhiaccio, Immagine::imgRame }, 108 },
    { "Rame", 8.96, Immagine::imgRame,
        { Immagine::imgLegno, Immagine::imgFerro, Immagine::imgGhiaccio }, 110 },
    { "Legno", 0.45, Immagine::imgLegno,
        { Immagine::imgGhiaccio, Immagine::imgFerro, Immagine::imgRame }, 109 },
} };

} // namespace Catalogo
