// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Controlli.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

class Vista;

// The descent of a sinking body, in twips of the window's client area, downwards.
namespace Discesa {
constexpr float TopIniziale = 960.0f; // where every run starts and ends
constexpr float Passo = 50.0f; // distance per tick
constexpr float LimiteFondo = 3840.0f; // the floor's line: a run ends on the first tick past it
constexpr int IntervalloMs = 30; // the interval of tmrDiscesa
constexpr int SuonoAffonda = 101; // the bubbling that starts a sinking run
} // namespace Discesa

namespace Verdetto {
constexpr const char* TestoAffonda
    = "Il corpo affonda perché la sua densità è maggiore di quella del liquido";
constexpr const char* TitoloAffonda = "Il corpo affonda";
constexpr const char* TestoGalleggia
    = "Il corpo galleggia perché la sua densità è minore di quella del liquido";
constexpr const char* TitoloGalleggia = "Il corpo galleggia";
} // namespace Verdetto

// The pupil's current choice. Densities and references survive the reset and the end of a
// run; only NumScelte is cleared by them.
struct StatoEsperimento {
    std::uint8_t IndiceLiquido = 0;
    std::uint8_t IndiceMateriale = 0;
    double DensitaLiquido = 0.0;
    double DensitaMateriale = 0.0;
    std::optional<Immagine> imgCorpo;
    std::optional<Immagine> imgAltro1;
    std::optional<Immagine> imgAltro2;
    std::optional<Immagine> imgAltro3;
    std::uint8_t NumScelte = 0; // choices since the last reset or start of a run
    bool LiquidoScelto = false; // since the start: a tank with no liquid chosen has none
    bool MaterialeScelto = false;
};

// The experiment: the choices, the rule that arms "OK", and the run that gives the verdict.
// It acts on the window only through Vista.
class Esperimento {
public:
    Esperimento(Vista& vista, std::string separatoreDecimale);

    void Form_Load(); // the reset, at creation and after every verdict
    void ScegliLiquido(int indice); // a click on Option1(indice)
    void ScegliMateriale(int indice); // a click on Option2(indice)
    void DeterminaLiquido();
    void DeterminaMateriale();
    void AvviaDiscesa(); // a click on "OK"
    void tmrDiscesa_Timer();

    const StatoEsperimento& Stato() const { return m_stato; }
    const std::string& Separatore() const { return m_separatore; } // the densities' decimal one
    // A picture's top, in twips: where the design puts it until the experiment moves it.
    float Top(Immagine img) const { return m_top[std::size_t(img)]; }
    // A liquid and a material have each been chosen: only then is there an experiment to run.
    bool CoppiaScelta() const { return m_stato.LiquidoScelto && m_stato.MaterialeScelto; }

private:
    void ContaScelta(bool coppiaPrima);
    bool Affonda() const { return m_stato.DensitaMateriale > m_stato.DensitaLiquido; }
    void Concludi(const char* testo, const char* titolo);
    void ImpostaTop(Immagine img, float top);

    Vista& m_vista;
    std::string m_separatore;
    StatoEsperimento m_stato;
    bool m_corpoInVista = false; // imgCorpo shows: chosen or running, and not yet reset
    std::array<float, NumeroImmagini> m_top {}; // every picture's, in the order of Immagine
};
