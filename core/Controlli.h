// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The controls of the window that the experiment acts on, named as the window names them.
// The experiment never sees a widget: it names a control and the window does the rest.

enum class Immagine {
    imgGhiaccio,
    imgFerro,
    imgRame,
    imgLegno,
    imgLiquido,
    imgMateriale,
    imgContenitore,
};

enum class Etichetta {
    lblPSLiquido,
    lblPSMateriale,
};

// The two panels that open over the window: the explanation and, in front of it, the
// information.
enum class Pannello {
    Frame3,
    Frame4,
};

// Each control's name as the layout table spells it.
constexpr const char* Nome(Immagine img)
{
    switch (img) {
    case Immagine::imgGhiaccio:
        return "imgGhiaccio";
    case Immagine::imgFerro:
        return "imgFerro";
    case Immagine::imgRame:
        return "imgRame";
    case Immagine::imgLegno:
        return "imgLegno";
    case Immagine::imgLiquido:
        return "imgLiquido";
    case Immagine::imgMateriale:
        return "imgMateriale";
    case Immagine::imgContenitore:
        break;
    }
    return "imgContenitore";
}

constexpr const char* Nome(Etichetta lbl)
{
    return lbl == Etichetta::lblPSLiquido ? "lblPSLiquido" : "lblPSMateriale";
}

constexpr const char* Nome(Pannello pannello)
{
    return pannello == Pannello::Frame3 ? "Frame3" : "Frame4";
}
