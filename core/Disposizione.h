// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>

// The window's design, as one table in twips. Rows are grouped by container and listed
// frontmost first within it; the window raises them in that order, back to front.
namespace Disposizione {

enum class Tipo {
    Frame,
    OptionButton,
    CommandButton,
    Label,
    Picture,
    Line,
};

enum class Carattere {
    Predefinito, // the dialog font, 8 points
    Titolo, // "Arial" 12 points bold: the panels' captions
    Testo, // "Arial" 14.25 points: the panels' texts
};

// A colour of its own, or none: then the control takes the toolkit's standard colour.
struct Colore {
    int r = -1, g = -1, b = -1;
    constexpr bool Sistema() const { return r < 0; }
};

constexpr Colore Sistema {};
constexpr Colore Azzurro { 192, 255, 255 };
constexpr Colore Rosso { 255, 0, 0 };
constexpr Colore Blu { 0, 0, 255 };
constexpr Colore Bianco { 255, 255, 255 };

struct Riga {
    const char* nome;
    Tipo tipo;
    const char* contenitore; // nullptr: the window's client area
    int indice; // within an option group; -1 elsewhere
    // Left, Top, Width, Height from the container's top-left corner; for a line, its two
    // end points x1, y1, x2, y2.
    int left, top, width, height;
    const char* testo;
    Carattere carattere;
    Colore sfondo;
    Colore testoOLinea; // the text's colour, or a line's
    int tabIndex; // -1: no tab index
    bool visibile;
    bool abilitato;
    int spessore; // a line's width in pixels
};

// clang-format off
constexpr std::array<Riga, 29> Controlli { {
//    name              kind                 container  idx  Left  Top  Width Height text                                              font                    background colour  text/line   tab  visible enabled width
    { "Frame4",         Tipo::Frame,         nullptr,   -1, 1088, 1733, 4935, 2535, "Informazioni",                                   Carattere::Titolo,      Azzurro, Rosso,    15, false, true,  1 },
    { "Frame3",         Tipo::Frame,         nullptr,   -1, 1088, 1013, 4935, 3975, "Idrovela",                                       Carattere::Titolo,      Azzurro, Rosso,    13, false, true,  1 },
    { "Command1",       Tipo::CommandButton, nullptr,   -1, 4560, 3840, 2415,  375, "OK",                                             Carattere::Predefinito, Sistema, Sistema,  12, true,  false, 1 },
    { "Frame1",         Tipo::Frame,         nullptr,   -1, 4560,  120, 2415, 1815, "Liquido",                                        Carattere::Predefinito, Sistema, Sistema,   2, true,  true,  1 },
    { "Frame2",         Tipo::Frame,         nullptr,   -1, 4560, 1920, 2415, 1815, "Materiale",                                      Carattere::Predefinito, Sistema, Sistema,   7, true,  true,  1 },
    { "imgRame",        Tipo::Picture,       nullptr,   -1, 1680, 3840,  960,  960, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, false, true,  1 },
    { "imgLegno",       Tipo::Picture,       nullptr,   -1, 1680,  960,  960,  960, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, false, true,  1 },
    { "imgFerro",       Tipo::Picture,       nullptr,   -1, 1680,  960,  960,  960, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, false, true,  1 },
    { "imgGhiaccio",    Tipo::Picture,       nullptr,   -1, 1680,  960,  960,  960, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, false, true,  1 },
    { "lblPSMateriale", Tipo::Label,         nullptr,   -1, 5520, 5400, 1575,  375, "",                                               Carattere::Predefinito, Sistema, Sistema,   1, true,  true,  1 },
    { "lblPSLiquido",   Tipo::Label,         nullptr,   -1, 5640, 4560, 1455,  375, "",                                               Carattere::Predefinito, Sistema, Sistema,   0, true,  true,  1 },
    { "imgMateriale",   Tipo::Picture,       nullptr,   -1, 4560, 5160,  735,  735, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, true,  true,  1 },
    { "imgLiquido",     Tipo::Picture,       nullptr,   -1, 4560, 4680,  735,  615, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, true,  true,  1 },
    { "imgContenitore", Tipo::Picture,       nullptr,   -1,  120,  240, 4305, 5490, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, true,  true,  1 },

    { "Image1",         Tipo::Picture,       "Frame4",  -1, 3960, 1920,  480,  480, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, true,  true,  1 },
    { "Line2",          Tipo::Line,          "Frame4",  -1,    0, 1425, 4920, 1425, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, true,  true,  1 },
    { "Line1",          Tipo::Line,          "Frame4",  -1,    0, 1440, 4920, 1440, "",                                               Carattere::Predefinito, Sistema, Bianco,   -1, true,  true,  2 },
    { "Label3",         Tipo::Label,         "Frame4",  -1,  240,  600, 4335,  975, "Scegli il liquido e il materiale, poi premi OK.", Carattere::Testo,       Sistema, Blu,      17, true,  true,  1 },
    { "Label2",         Tipo::Label,         "Frame4",  -1,  120, 1560, 4455,  615, "Software libero del gruppo Idrovela",            Carattere::Testo,       Sistema, Blu,      16, true,  true,  1 },

    { "Command3",       Tipo::Picture,       "Frame3",  -1, 3960, 3360,  480,  480, "",                                               Carattere::Predefinito, Sistema, Sistema,  -1, true,  true,  1 },
    { "Label1",         Tipo::Label,         "Frame3",  -1,  240,  360, 4575, 3615, "Un corpo immerso in un fluido riceve una spinta dal basso verso l'alto pari al peso del fluido spostato, per cui se la densità del fluido è minore di quella del corpo, esso affonda; se le densità sono uguali, il corpo rimane sospeso nel fluido; se la densità del fluido è maggiore il corpo galleggia.",
                                                                                                                                                  Carattere::Testo,       Sistema, Blu,      14, true,  true,  1 },

    { "Option1",        Tipo::OptionButton,  "Frame1",   3,  120, 1320,  975,  375, "Benzina",                                        Carattere::Predefinito, Sistema, Sistema,   6, true,  true,  1 },
    { "Option1",        Tipo::OptionButton,  "Frame1",   2,  120,  960,  975,  375, "Olio",                                           Carattere::Predefinito, Sistema, Sistema,   5, true,  true,  1 },
    { "Option1",        Tipo::OptionButton,  "Frame1",   1,  120,  600,  975,  375, "Mercurio",                                       Carattere::Predefinito, Sistema, Sistema,   4, true,  true,  1 },
    { "Option1",        Tipo::OptionButton,  "Frame1",   0,  120,  240,  975,  375, "Acqua",                                          Carattere::Predefinito, Sistema, Sistema,   3, true,  true,  1 },

    { "Option2",        Tipo::OptionButton,  "Frame2",   3,  120, 1320, 1215,  375, "Legno",                                          Carattere::Predefinito, Sistema, Sistema,  11, true,  true,  1 },
    { "Option2",        Tipo::OptionButton,  "Frame2",   2,  120,  960, 1215,  375, "Rame",                                           Carattere::Predefinito, Sistema, Sistema,  10, true,  true,  1 },
    { "Option2",        Tipo::OptionButton,  "Frame2",   1,  120,  600, 1215,  375, "Ferro",                                          Carattere::Predefinito, Sistema, Sistema,   9, true,  true,  1 },
    { "Option2",        Tipo::OptionButton,  "Frame2",   0,  120,  240, 1215,  375, "Ghiaccio",                                       Carattere::Predefinito, Sistema, Sistema,   8, true,  true,  1 },
} };
// clang-format on

} // namespace Disposizione
