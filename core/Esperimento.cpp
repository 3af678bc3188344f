// SPDX-License-Identifier: GPL-3.0-or-later
#include "Esperimento.h"

#include "Catalogo.h"
#include "Disposizione.h"
#include "FormatoGenerale.h"
#include "Vista.h"

#include <cstring>
#include <limits>
#include <utility>

namespace {
bool IndiceValido(int indice)
{
    return indice >= 0 && indice < 4;
}

float TopDiProgetto(Immagine img)
{
    for (const Disposizione::Riga& riga : Disposizione::Controlli)
        if (std::strcmp(riga.nome, Nome(img)) == 0)
            return float(riga.top);
    return 0.0f;
}
} // namespace

Esperimento::Esperimento(Vista& vista, std::string separatoreDecimale)
    : m_vista(vista)
    , m_separatore(std::move(separatoreDecimale))
{
    for (std::size_t i = 0; i < m_top.size(); ++i)
        m_top[i] = TopDiProgetto(Immagine(i));
}

void Esperimento::ImpostaTop(Immagine img, float top)
{
    m_top[std::size_t(img)] = top;
    m_vista.ImpostaTop(img, top);
}

void Esperimento::Form_Load()
{
    for (Immagine corpo :
        { Immagine::imgGhiaccio, Immagine::imgRame, Immagine::imgLegno, Immagine::imgFerro })
        m_vista.ImpostaVisibile(corpo, false);
    m_corpoInVista = false;
    m_stato.NumScelte = 0;
}

void Esperimento::ScegliLiquido(int indice)
{
    if (!IndiceValido(indice))
        return;
    const bool coppiaPrima = CoppiaScelta();
    m_stato.IndiceLiquido = static_cast<std::uint8_t>(indice);
    m_stato.LiquidoScelto = true;
    ContaScelta(coppiaPrima);
    DeterminaLiquido();
}

void Esperimento::ScegliMateriale(int indice)
{
    if (!IndiceValido(indice))
        return;
    const bool coppiaPrima = CoppiaScelta();
    m_stato.IndiceMateriale = static_cast<std::uint8_t>(indice);
    m_stato.MaterialeScelto = true;
    ContaScelta(coppiaPrima);
    DeterminaMateriale();
}

void Esperimento::ContaScelta(bool coppiaPrima)
{
    // Only reaching exactly two matters, so the count stops at its largest value instead
    // of wrapping round to zero and arming "OK" again on the 258th choice.
    if (m_stato.NumScelte < std::numeric_limits<std::uint8_t>::max())
        ++m_stato.NumScelte;
    // Two liquids or two materials are no experiment: with no liquid every body would sink
    // in a tank drawn full of water. The choice that completes the pair arms "OK" whatever
    // the count, since the count may have passed two on the way (liquid, liquid, material).
    if (!CoppiaScelta())
        return;
    if (m_stato.NumScelte == 2 || !coppiaPrima)
        m_vista.AbilitaCommand1(true);
}

void Esperimento::DeterminaLiquido()
{
    const Liquido& liquido = Catalogo::Liquidi.at(m_stato.IndiceLiquido);
    m_stato.DensitaLiquido = liquido.densita;
    m_vista.CaricaBitmap(Immagine::imgLiquido, liquido.bitmapLiquido);
    m_vista.CaricaBitmap(Immagine::imgContenitore, liquido.bitmapContenitore);
    m_vista.ImpostaCaption(Etichetta::lblPSLiquido,
        "Densità= " + FormatoGenerale(m_stato.DensitaLiquido, m_separatore));
}

void Esperimento::DeterminaMateriale()
{
    const Materiale& materiale = Catalogo::Materiali.at(m_stato.IndiceMateriale);
    const std::optional<Immagine> corpoPrima = m_stato.imgCorpo;
    m_stato.DensitaMateriale = materiale.densita;
    m_stato.imgCorpo = materiale.corpo;
    m_stato.imgAltro1 = materiale.altri[0];
    m_stato.imgAltro2 = materiale.altri[1];
    m_stato.imgAltro3 = materiale.altri[2];
    m_vista.CaricaBitmap(Immagine::imgMateriale, materiale.bitmapMateriale);
    m_vista.ImpostaCaption(Etichetta::lblPSMateriale,
        "Densità = " + FormatoGenerale(m_stato.DensitaMateriale, m_separatore));
    // A body that comes into view stands at the liquid's surface, whatever its design top or
    // wherever a change of material left it hidden; the body already in view, perhaps
    // sinking, stays where it is.
    const bool giaInVista = m_corpoInVista && corpoPrima == materiale.corpo;
    if (!giaInVista)
        ImpostaTop(materiale.corpo, Discesa::TopIniziale);
    m_vista.ImpostaVisibile(materiale.corpo, true);
    m_corpoInVista = true;
    for (const std::optional<Immagine>& altro :
        { m_stato.imgAltro1, m_stato.imgAltro2, m_stato.imgAltro3 })
        m_vista.ImpostaVisibile(*altro, false);
}

void Esperimento::AvviaDiscesa()
{
    // "OK" is armed only once a liquid and a material are chosen; should a start come
    // without them all the same, nothing starts: the beep says that something is missing,
    // and the choices stay as they are.
    if (!CoppiaScelta() || !m_stato.imgCorpo) {
        m_vista.Beep();
        return;
    }
    const Immagine corpo = *m_stato.imgCorpo;
    if (Affonda())
        m_vista.RiproduciSuono(Discesa::SuonoAffonda);
    ImpostaTop(corpo, Discesa::TopIniziale);
    m_vista.AbilitaTimer(true);
    m_vista.ImpostaVisibile(corpo, true);
    m_corpoInVista = true;
    m_stato.NumScelte = 0;
    m_vista.AbilitaCommand1(false);
}

void Esperimento::tmrDiscesa_Timer()
{
    if (!CoppiaScelta() || !m_stato.imgCorpo) { // no run starts so; stop a stray timer
        m_vista.AbilitaTimer(false);
        return;
    }
    const Immagine corpo = *m_stato.imgCorpo;
    if (!Affonda()) {
        // A body that floats shows at the surface under its verdict, even one that had begun
        // to sink before a denser liquid was chosen.
        m_vista.AbilitaTimer(false);
        ImpostaTop(corpo, Discesa::TopIniziale);
        Concludi(Verdetto::TestoGalleggia, Verdetto::TitoloGalleggia);
        m_vista.AbilitaCommand1(true);
        return;
    }
    ImpostaTop(corpo, Top(corpo) + Discesa::Passo);
    if (!(Top(corpo) > Discesa::LimiteFondo))
        return;
    // The body lies on the floor while the pupil reads that it sinks; once the box is closed
    // the reset hides it, and only then does it go back to the start, unseen.
    m_vista.AbilitaTimer(false);
    ImpostaTop(corpo, Discesa::LimiteFondo);
    Concludi(Verdetto::TestoAffonda, Verdetto::TitoloAffonda);
    ImpostaTop(corpo, Discesa::TopIniziale);
    m_vista.AbilitaCommand1(true);
}

void Esperimento::Concludi(const char* testo, const char* titolo)
{
    m_vista.Beep();
    m_vista.MsgBox(testo, titolo);
    Form_Load();
}
