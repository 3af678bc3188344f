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
// How many pictures there are: imgContenitore is the last.
constexpr int NumeroImmagini = int(Immagine::imgContenitore) + 1;

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

// The places of the window that take the keyboard's focus; a group of options is one place.
enum class Posto {
    Nessuno, // none of them, or no focus yet
    Option1,
    Option2,
    Command1,
    imgContenitore,
    Command3,
    Image1,
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

constexpr const char* Nome(Posto posto)
{
    switch (posto) {
    case Posto::Option1:
        return "Option1";
    case Posto::Option2:
        return "Option2";
    case Posto::Command1:
        return "Command1";
    case Posto::imgContenitore:
        return "imgContenitore";
    case Posto::Command3:
        return "Command3";
    case Posto::Image1:
        return "Image1";
    case Posto::Nessuno:
        break;
    }
    return "";
}
