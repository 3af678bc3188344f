// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include "Geometria.h"
#include "Lettura.h"
#include "Module1.h"

#include <emscripten.h>

// clang-format off
EM_JS(int, LinguaItaliana, (), {
    const lingua = (navigator.language || "").toLowerCase();
    return lingua === "it" || lingua.startsWith("it-") ? 1 : 0;
});

EM_JS(void, Collega, (), {
    Idrovela.collega();
});

EM_JS(void, DichiaraPosto, (int numero, const char* nome), {
    Idrovela.posti[numero] = UTF8ToString(nome);
});

EM_JS(void, Visibile, (const char* id, int visibile), {
    Idrovela.el(UTF8ToString(id)).hidden = !visibile;
});

EM_JS(void, SpostaInVerticale, (const char* id, int px), {
    Idrovela.el(UTF8ToString(id)).style.top = px + "px";
});

EM_JS(void, Bitmap, (const char* id, int numero), {
    Idrovela.bitmap(UTF8ToString(id), numero);
});

EM_JS(void, NomeAccessibile, (const char* id, const char* nome), {
    Idrovela.el(UTF8ToString(id)).alt = UTF8ToString(nome);
});

EM_JS(void, Testo, (const char* id, const char* testo), {
    Idrovela.el(UTF8ToString(id)).textContent = UTF8ToString(testo);
});

EM_JS(void, Annuncia, (const char* testo), {
    Idrovela.annuncia(UTF8ToString(testo));
});

EM_JS(int, PostoDelFuoco, (), {
    return Idrovela.postoDi(document.activeElement || document.body);
});

EM_JS(void, AbilitaOk, (int abilitato, const char* dove, const char* avviso), {
    Idrovela.abilitaOk(!!abilitato, UTF8ToString(dove), UTF8ToString(avviso));
});

EM_JS(void, Timer, (int attivo), {
    Idrovela.timer(!!attivo);
});

EM_JS(void, Bip, (), {
    Idrovela.beep();
});

EM_JS(void, Apri, (const char* pannello, const char* freccia, const char* testo), {
    Idrovela.apriPannello(UTF8ToString(pannello), UTF8ToString(freccia), UTF8ToString(testo));
});

EM_JS(void, Chiudi, (const char* pannello, const char* dove), {
    Idrovela.chiudiPannello(UTF8ToString(pannello), UTF8ToString(dove));
});

EM_JS(void, ChiudiPagina, (), {
    Idrovela.termina();
});

// The program waits here, inside the call, until the pupil closes the box: 1 for OK or "Sì".
EM_ASYNC_JS(int, AspettaBox, (const char* testo, const char* titolo, int domanda), {
    return await Idrovela.msgBox(UTF8ToString(testo), UTF8ToString(titolo), !!domanda);
});
// clang-format on

namespace {
// A place from the page's number for it; none for a number that names no place.
Posto PostoDi(int numero)
{
    return numero > int(Posto::Nessuno) && numero <= int(Posto::Image1) ? Posto(numero)
                                                                        : Posto::Nessuno;
}
} // namespace

Form1::Form1()
    : m_esperimento(*this, LinguaItaliana() ? "," : ".")
    , m_finestra(*this)
{
    // The page tells where the focus goes by these numbers.
    for (Posto posto : { Posto::Option1, Posto::Option2, Posto::Command1, Posto::imgContenitore,
             Posto::Command3, Posto::Image1 })
        DichiaraPosto(int(posto), Nome(posto));
    Collega();
    Form_Load();
}

void Form1::ImpostaVisibile(Immagine img, bool visibile)
{
    Visibile(Nome(img), visibile);
}

void Form1::ImpostaTop(Immagine img, float top)
{
    SpostaInVerticale(Nome(img), Twips::Px(top));
}

void Form1::CaricaBitmap(Immagine img, int id)
{
    Bitmap(Nome(img), id);
}

void Form1::ImpostaCaption(Etichetta lbl, const std::string& testo)
{
    Testo(Nome(lbl), testo.c_str());
    Annuncia(testo.c_str());
}

void Form1::AbilitaCommand1(bool abilitato)
{
    const Posto ora = PostoDi(PostoDelFuoco());
    Posto dove = ora;
    if (abilitato != m_okAbilitato)
        dove = abilitato ? Finestra::FuocoAllaFine(ora) : Finestra::FuocoAllAvvio(ora);
    m_okAbilitato = abilitato;
    AbilitaOk(abilitato, Nome(dove == ora ? Posto::Nessuno : dove), Lettura::OkDisponibile);
}

void Form1::AbilitaTimer(bool abilitato)
{
    Timer(abilitato);
}

void Form1::Beep()
{
    Bip();
}

void Form1::MsgBox(const std::string& testo, const std::string& titolo)
{
    AspettaBox(testo.c_str(), titolo.c_str(), 0);
}

void Form1::RiproduciSuono(int id)
{
    Module1::RiproduciSuono(id);
}

void Form1::Form_Load()
{
    m_esperimento.Form_Load();
}

void Form1::Option1_Click(int index)
{
    m_esperimento.ScegliLiquido(index);
    AggiornaNomi();
}

void Form1::Option2_Click(int index)
{
    m_esperimento.ScegliMateriale(index);
    AggiornaNomi();
}

void Form1::Command1_Click()
{
    m_esperimento.AvviaDiscesa();
    if (m_esperimento.CoppiaScelta())
        Annuncia(Lettura::CorsaAvviata);
}

void Form1::tmrDiscesa_Timer()
{
    m_esperimento.tmrDiscesa_Timer();
}

void Form1::mnprince_Click()
{
    m_finestra.mnprince_Click();
}

void Form1::Command3_Click()
{
    m_finestra.Command3_Click();
}

void Form1::mninfo_Click()
{
    m_finestra.mninfo_Click();
}

void Form1::Image1_Click()
{
    m_finestra.Image1_Click();
}

void Form1::mnexit_Click()
{
    m_finestra.mnexit_Click();
}

void Form1::Form_Escape()
{
    m_finestra.Form_Escape();
}

// A panel opens with its text said, which the focus on its arrow would not read.
void Form1::MostraPannello(Pannello pannello, bool aperto)
{
    if (aperto)
        Apri(Nome(pannello), Nome(Finestra::Freccia(pannello)),
            Lettura::TestoPannello(pannello).c_str());
    else
        Chiudi(Nome(pannello), Nome(m_finestra.FuocoDopoLaChiusura(pannello, m_okAbilitato)));
}

void Form1::FuocoA(int posto)
{
    m_finestra.FuocoA(PostoDi(posto));
}

int Form1::Tab(int posto, bool avanti) const
{
    return int(m_finestra.Tab(PostoDi(posto), avanti));
}

bool Form1::Domanda(const std::string& testo, const std::string& titolo)
{
    return AspettaBox(testo.c_str(), titolo.c_str(), 1) == 1;
}

// The names that follow the choices.
void Form1::AggiornaNomi()
{
    const StatoEsperimento& stato = m_esperimento.Stato();
    NomeAccessibile("imgContenitore", Lettura::NomeVasca(stato).c_str());
    NomeAccessibile("imgLiquido", Lettura::NomeCampione(stato, Etichetta::lblPSLiquido).c_str());
    NomeAccessibile(
        "imgMateriale", Lettura::NomeCampione(stato, Etichetta::lblPSMateriale).c_str());
}

void Form1::Termina()
{
    // At once: no tick, reset or second question runs after this, and no sound plays on.
    AbilitaTimer(false);
    Module1::Ferma();
    ChiudiPagina();
}
