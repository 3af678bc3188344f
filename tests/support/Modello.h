// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string>

// What the window should show after the inputs it received, worked out on its own from the
// rules of the experiment, with no toolkit, for the soaks of the Linux and the Windows window:
// the pupil's choice, the arming of "OK", the run and its verdict, the panels. A soak feeds it
// the inputs that really reached the window and compares.
class Modello {
public:
    static constexpr int Corpi = 4; // ice, iron, copper, wood: the material options' order
    static constexpr float TopIniziale = 960.0f;
    static constexpr float Passo = 50.0f;
    static constexpr float LimiteFondo = 3840.0f;

    void ScegliLiquido(int indice);
    void ScegliMateriale(int indice);
    void PremiOK();
    // A tick of the timer; the title of the verdict it shows, or nothing while the body sinks.
    std::string Tick();
    void ApriSpiegazione() { m_spiegazione = true; }
    void ChiudiSpiegazione() { m_spiegazione = false; }
    void ApriInformazioni() { m_informazioni = true; }
    void ChiudiInformazioni() { m_informazioni = false; }

    int liquido() const { return m_liquido; } // -1 before the first choice
    int materiale() const { return m_materiale; } // -1 before the first choice
    int scelte() const { return m_scelte; }
    bool coppia() const { return m_liquido >= 0 && m_materiale >= 0; }
    bool okAbilitato() const { return m_ok; }
    bool inCorsa() const { return m_inCorsa; }
    bool corpoVisibile() const { return m_corpoVisibile; }
    float top(int corpo) const { return m_top.at(std::size_t(corpo)); }
    bool spiegazione() const { return m_spiegazione; }
    bool informazioni() const { return m_informazioni; }
    int corse() const { return m_corse; }
    int affondati() const { return m_affondati; }
    int galleggianti() const { return m_galleggianti; }
    int verdetti() const { return m_affondati + m_galleggianti; }
    int sceltePerse() const { return m_sceltePerse; } // choices made with the count at its top

    // The texts of the two density labels for the chosen substances, with this separator.
    std::string testoLiquido(const std::string& separatore) const;
    std::string testoMateriale(const std::string& separatore) const;

private:
    void Conta(bool coppiaPrima);
    void Verdetto();

    int m_liquido = -1;
    int m_materiale = -1;
    int m_scelte = 0;
    bool m_ok = false;
    bool m_inCorsa = false;
    bool m_corpoVisibile = false;
    // Design tops: copper stands on the tank's floor until it first comes into view.
    std::array<float, Corpi> m_top { TopIniziale, TopIniziale, LimiteFondo, TopIniziale };
    bool m_spiegazione = false;
    bool m_informazioni = false;
    int m_corse = 0;
    int m_affondati = 0;
    int m_galleggianti = 0;
    int m_sceltePerse = 0;
};
