// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"

#include <array>
#include <string>

class Esperimento;
struct StatoEsperimento;

// What a screen reader is told of the window, as functions of the experiment's state: the
// names of the controls whose pictures say nothing to it, the description of a chosen option,
// the panels' texts and the announcements. Every window reads them here and hands them to its
// platform at the moments its platform reads them.
namespace Lettura {

constexpr const char* NomeEsperimento = "Esperimento"; // the window's client area
constexpr const char* NomeFreccia = "Indietro"; // each panel's arrow, and its tooltip
constexpr const char* NomeDensitaLiquido = "Densità del liquido"; // while its label is empty
constexpr const char* NomeDensitaMateriale = "Densità del materiale";
// The tank's description while a run goes on, read on after its name.
constexpr const char* CorsaAvviata = "esperimento avviato";
// Said once, with the choice that armed "OK".
constexpr const char* OkDisponibile = "OK disponibile";

// A substance's name inside a sentence, "Vasca con olio": every ASCII capital lowered; the
// bytes of any other character are kept as they are.
std::string Minuscolo(const std::string& testo);

std::string NomeVasca(const StatoEsperimento& stato); // "Vasca con olio"
std::string NomeCampione(const StatoEsperimento& stato, Etichetta densita); // its sample
std::string NomeCorpo(Immagine corpo); // "Corpo di ferro"
// The chosen option of a group is described by the density its label shows, "densità 7,86",
// and "OK disponibile" after it when asked; none before a choice of that group.
std::string DescrizioneScelta(
    const Esperimento& esperimento, Etichetta densita, bool conOk = false);

const char* NomePannello(Pannello pannello); // "Spiegazione", "Informazioni"
// A panel's texts, in reading order, as one: its labels, which a reader would not read of
// itself when the focus lands on its arrow.
std::string TestoPannello(Pannello pannello);

// The order in which a screen reader reads the window, by the layout table's names (a group
// stands for its buttons, in their Tab order): the tank and its bodies, the choices from the
// top down, "OK", the samples each with its density, then the panels, each from its text down
// to its arrow. The information panel's lines are drawing only and are not read.
constexpr std::array<const char*, 21> OrdineDiLettura { "imgContenitore", "imgGhiaccio", "imgFerro",
    "imgRame", "imgLegno", "Frame1", "Option1", "Frame2", "Option2", "Command1", "imgLiquido",
    "lblPSLiquido", "imgMateriale", "lblPSMateriale", "Frame3", "Label1", "Command3", "Frame4",
    "Label3", "Label2", "Image1" };

} // namespace Lettura
