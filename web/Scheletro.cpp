// SPDX-License-Identifier: GPL-3.0-or-later
// Runs on the build machine: writes the page's markup from the layout table ahead of time, so
// that the browser paints the window as it parses it and the program only wires the events.
//   Scheletro SORGENTI MODELLO PAGINA RETTANGOLI
// SORGENTI is the source tree, MODELLO the page's template, beside which lie the scripts it
// names; PAGINA receives the page (the shell that the compiler fills with the program) and
// RETTANGOLI the rectangle of every control in CSS pixels of the client area, as JSON, for the
// tests.
#include "Disposizione.h"
#include "Esperimento.h"
#include "Finestra.h"
#include "Geometria.h"
#include "Lettura.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

using Disposizione::Carattere;
using Disposizione::Colore;
using Disposizione::Riga;
using Disposizione::Tipo;
using Twips::Px;

namespace {

std::string Leggi(const std::string& percorso)
{
    std::ifstream file(percorso, std::ios::binary);
    if (!file)
        throw std::runtime_error("cannot read " + percorso);
    std::ostringstream testo;
    testo << file.rdbuf();
    return testo.str();
}

std::string Base64(const std::string& byte)
{
    static const char alfabeto[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string testo;
    std::size_t i = 0;
    for (; i + 2 < byte.size(); i += 3) {
        const unsigned n = unsigned((unsigned char)byte[i]) << 16
            | unsigned((unsigned char)byte[i + 1]) << 8 | (unsigned char)byte[i + 2];
        for (int s = 18; s >= 0; s -= 6)
            testo += alfabeto[(n >> s) & 63];
    }
    if (i < byte.size()) {
        unsigned n = unsigned((unsigned char)byte[i]) << 16;
        if (i + 1 < byte.size())
            n |= unsigned((unsigned char)byte[i + 1]) << 8;
        testo += alfabeto[(n >> 18) & 63];
        testo += alfabeto[(n >> 12) & 63];
        testo += i + 1 < byte.size() ? alfabeto[(n >> 6) & 63] : '=';
        testo += '=';
    }
    return testo;
}

// gzip with no name and no time in its header, so that the same bytes give the same page.
std::string Gzip(const std::string& byte)
{
    z_stream flusso {};
    if (deflateInit2(&flusso, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    std::string uscita(deflateBound(&flusso, uLong(byte.size())) + 32, '\0');
    flusso.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(byte.data()));
    flusso.avail_in = uInt(byte.size());
    flusso.next_out = reinterpret_cast<Bytef*>(uscita.data());
    flusso.avail_out = uInt(uscita.size());
    const int esito = deflate(&flusso, Z_FINISH);
    deflateEnd(&flusso);
    if (esito != Z_STREAM_END)
        throw std::runtime_error("deflate");
    uscita.resize(flusso.total_out);
    return uscita;
}

std::string Html(const std::string& testo)
{
    std::string sicuro;
    for (char c : testo) {
        switch (c) {
        case '&':
            sicuro += "&amp;";
            break;
        case '<':
            sicuro += "&lt;";
            break;
        case '>':
            sicuro += "&gt;";
            break;
        case '"':
            sicuro += "&quot;";
            break;
        default:
            sicuro += c;
        }
    }
    return sicuro;
}

std::string Rgb(Colore colore)
{
    return "rgb(" + std::to_string(colore.r) + "," + std::to_string(colore.g) + ","
        + std::to_string(colore.b) + ")";
}

// The resource table, by kind and number, as the Qt window's resource file lists it, with the
// pictures drawn at 2x and 3x ("bitmap/101@2x"): every entry gzipped, to be unpacked by the
// browser back to the stored bytes.
std::string TabellaRisorse(const std::string& sorgenti)
{
    const std::string qrc = Leggi(sorgenti + "/resources/idrovela.qrc");
    const std::regex voce(
        R"re(<file alias="((bitmap|CUSTOM)/[0-9]+(?:@[23]x)?)">([^<]+)</file>)re");
    std::string tabella = "{";
    for (auto it = std::sregex_iterator(qrc.begin(), qrc.end(), voce); it != std::sregex_iterator();
         ++it) {
        const std::string byte = Leggi(sorgenti + "/resources/" + (*it)[3].str());
        tabella += "\n\"" + (*it)[1].str() + "\":\"" + Base64(Gzip(byte)) + "\",";
    }
    tabella.back() = '}';
    return tabella;
}

std::uint32_t Numero(const std::string& byte, std::size_t dove)
{
    if (dove + 4 > byte.size())
        throw std::runtime_error("a bitmap too short");
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i)
        n = n << 8 | (unsigned char)byte[dove + std::size_t(i)];
    return n;
}

void AggiungiNumero(std::string& byte, std::uint32_t n)
{
    for (int s = 24; s >= 0; s -= 8)
        byte += char((n >> s) & 0xFF);
}

void AggiungiPezzo(std::string& png, const std::string& tipo, const std::string& dati)
{
    const std::string pezzo = tipo + dati;
    AggiungiNumero(png, std::uint32_t(dati.size()));
    png += pezzo;
    AggiungiNumero(png,
        std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(pezzo.data()), uInt(pezzo.size()))));
}

// A 24-bit bitmap file as a PNG of the same pixels, for the picture that the window shows
// before any choice: inline in the markup it is painted with the page's first frame, at a
// fortieth of the bitmap's size.
std::string PngDaBmp(const std::string& bmp)
{
    const std::uint32_t inizio = Numero(bmp, 10);
    const std::uint32_t larghezza = Numero(bmp, 18);
    const std::uint32_t altezza = Numero(bmp, 22);
    if (Numero(bmp, 28) % 65536 != 24 || larghezza == 0 || altezza == 0 || larghezza > 4096
        || altezza > 4096)
        throw std::runtime_error("not a 24-bit bitmap");
    const std::size_t riga = (std::size_t(larghezza) * 3 + 3) / 4 * 4;
    if (inizio + riga * altezza > bmp.size())
        throw std::runtime_error("a bitmap too short");
    std::string pixel;
    for (std::uint32_t y = 0; y < altezza; ++y) {
        pixel += '\0'; // no filter
        const std::size_t da = inizio + riga * (altezza - 1 - y);
        for (std::size_t x = 0; x < larghezza; ++x)
            for (std::size_t c = 3; c-- > 0;)
                pixel += bmp[da + x * 3 + c];
    }
    uLongf dimensione = compressBound(uLong(pixel.size()));
    std::string compresso(dimensione, '\0');
    if (compress2(reinterpret_cast<Bytef*>(compresso.data()), &dimensione,
            reinterpret_cast<const Bytef*>(pixel.data()), uLong(pixel.size()), 9)
        != Z_OK)
        throw std::runtime_error("compress2");
    compresso.resize(dimensione);
    std::string intestazione;
    AggiungiNumero(intestazione, larghezza);
    AggiungiNumero(intestazione, altezza);
    intestazione += std::string("\x08\x02\x00\x00\x00", 5); // 8 bits, RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    AggiungiPezzo(png, "IHDR", intestazione);
    AggiungiPezzo(png, "IDAT", compresso);
    AggiungiPezzo(png, "IEND", "");
    return png;
}

std::string DatiPng(const std::string& sorgenti, const std::string& nome)
{
    return "data:image/png;base64," + Base64(Leggi(sorgenti + "/resources/finestra/" + nome));
}

// The same picture drawn at 2x and 3x, as attributes data-src2x and data-src3x, from which the
// page picks the one that suits the screen. percorso names the picture under resources/,
// "finestra/rame.png".
std::string SorgentiAScala(const std::string& sorgenti, const std::string& percorso)
{
    const std::string base = percorso.substr(0, percorso.rfind('.'));
    std::string attributi;
    for (const char* scala : { "2", "3" })
        attributi += std::string(" data-src") + scala + "x=\"data:image/png;base64,"
            + Base64(Leggi(sorgenti + "/resources/" + base + "@" + scala + "x.png")) + "\"";
    return attributi;
}

// What a picture shows before the program gives it one: one transparent pixel, so that every
// picture has a source, drawn at the design size of its control.
const char* const Trasparente
    = "data:image/gif;base64,R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7";

// The names a screen reader speaks at start, where the table's text says nothing.
const std::map<std::string, std::string> NomiAccessibili {
    { "imgGhiaccio", Lettura::NomeCorpo(Immagine::imgGhiaccio) },
    { "imgFerro", Lettura::NomeCorpo(Immagine::imgFerro) },
    { "imgRame", Lettura::NomeCorpo(Immagine::imgRame) },
    { "imgLegno", Lettura::NomeCorpo(Immagine::imgLegno) },
    { "imgContenitore", Lettura::NomeVasca(StatoEsperimento {}) },
    { "imgLiquido", Lettura::NomeCampione(StatoEsperimento {}, Etichetta::lblPSLiquido) },
    { "imgMateriale", Lettura::NomeCampione(StatoEsperimento {}, Etichetta::lblPSMateriale) },
    { "Frame3", Lettura::NomePannello(Pannello::Frame3) },
};

// The window's own pictures, which travel in the markup itself.
const std::map<std::string, std::string> Disegni {
    { "imgGhiaccio", "ghiaccio.png" },
    { "imgFerro", "ferro.png" },
    { "imgRame", "rame.png" },
    { "imgLegno", "legno.png" },
    { "Command3", "freccia.png" },
    { "Image1", "freccia.png" },
};

// The markup lists the controls in the reading order, which is also the order of Tab, and
// each panel's lines, which say nothing, after the rest of the panel. The stacking comes from
// the table.
std::vector<std::string> OrdineDelMarkup()
{
    std::vector<std::string> ordine(
        Lettura::OrdineDiLettura.begin(), Lettura::OrdineDiLettura.end());
    for (const Riga& riga : Disposizione::Controlli)
        if (riga.tipo == Tipo::Line)
            ordine.emplace_back(riga.nome);
    return ordine;
}

struct Rettangolo {
    long left, top, width, height;
};

Rettangolo RettangoloDi(const Riga& riga)
{
    if (riga.tipo == Tipo::Line) {
        // A line is centred on its ordinate; the extra pixel of an even width lies above.
        return { Px(riga.left), Px(riga.top) - riga.spessore / 2, Px(riga.width) - Px(riga.left),
            riga.spessore };
    }
    return { Px(riga.left), Px(riga.top), Px(riga.width), Px(riga.height) };
}

std::string Id(const Riga& riga)
{
    return riga.indice < 0 ? riga.nome : std::string(riga.nome) + "_" + std::to_string(riga.indice);
}

const Riga* Cerca(const std::string& nome)
{
    for (const Riga& riga : Disposizione::Controlli)
        if (nome == riga.nome)
            return &riga;
    return nullptr;
}

class Scrittore {
public:
    explicit Scrittore(std::string sorgenti)
        : m_sorgenti(std::move(sorgenti))
    {
    }

    std::string Contenitore(const char* contenitore) const
    {
        std::string html;
        for (const std::string& nome : OrdineDelMarkup()) {
            // A group's buttons in the order of their tab indices, which the arrows follow.
            std::vector<const Riga*> righe;
            for (const Riga& riga : Disposizione::Controlli)
                if (nome == riga.nome && Uguali(riga.contenitore, contenitore))
                    righe.push_back(&riga);
            std::sort(righe.begin(), righe.end(),
                [](const Riga* a, const Riga* b) { return a->tabIndex < b->tabIndex; });
            for (const Riga* riga : righe)
                html += Controllo(*riga);
        }
        return html;
    }

private:
    static bool Uguali(const char* a, const char* b)
    {
        return a == b || (a && b && std::strcmp(a, b) == 0);
    }

    // Frontmost first in the table: the first of a container lies on top.
    static int Livello(const Riga& cercata)
    {
        int dietro = 0;
        for (const Riga& riga : Disposizione::Controlli)
            if (Uguali(riga.contenitore, cercata.contenitore))
                ++dietro;
        for (const Riga& riga : Disposizione::Controlli) {
            if (&riga == &cercata)
                break;
            if (Uguali(riga.contenitore, cercata.contenitore))
                --dietro;
        }
        return dietro;
    }

    static std::string Stile(const Riga& riga)
    {
        const Rettangolo r = RettangoloDi(riga);
        std::string stile = "left:" + std::to_string(r.left) + "px;top:" + std::to_string(r.top)
            + "px;width:" + std::to_string(r.width) + "px;height:" + std::to_string(r.height)
            + "px;z-index:" + std::to_string(Livello(riga));
        if (!riga.sfondo.Sistema())
            stile += ";background:" + Rgb(riga.sfondo);
        if (!riga.testoOLinea.Sistema())
            stile += (riga.tipo == Tipo::Line ? ";background:" : ";color:") + Rgb(riga.testoOLinea);
        return stile;
    }

    static std::string Classe(const Riga& riga)
    {
        switch (riga.carattere) {
        case Carattere::Titolo:
            return " titolo";
        case Carattere::Testo:
            return " testo";
        case Carattere::Predefinito:
            break;
        }
        return "";
    }

    static std::string Attributi(const Riga& riga, const std::string& classe)
    {
        std::string attributi = " id=\"" + Id(riga) + "\" class=\"" + classe + Classe(riga)
            + "\" style=\"" + Stile(riga) + "\"";
        const auto nome = NomiAccessibili.find(riga.nome);
        if (nome != NomiAccessibili.end() && riga.tipo != Tipo::Picture)
            attributi += " aria-label=\"" + Html(nome->second) + "\"";
        if (!riga.visibile)
            attributi += " hidden";
        return attributi;
    }

    std::string Controllo(const Riga& riga) const
    {
        const std::string testo = Html(riga.testo);
        switch (riga.tipo) {
        case Tipo::Frame:
            return "<fieldset" + Attributi(riga, "frame") + "><legend>" + testo
                + "</legend><div class=\"bordo\"></div>" + Contenitore(riga.nome) + "</fieldset>\n";
        case Tipo::OptionButton:
            return "<label" + Attributi(riga, "opzione") + "><input type=\"radio\" name=\""
                + riga.nome + "\" value=\"" + std::to_string(riga.indice) + "\"><span>" + testo
                + "</span></label>\n";
        case Tipo::CommandButton:
            return "<button" + Attributi(riga, "comando") + (riga.abilitato ? "" : " disabled")
                + ">" + testo + "</button>\n";
        case Tipo::Label:
            return "<div" + Attributi(riga, "etichetta") + ">" + testo + "</div>\n";
        case Tipo::Line:
            return "<div" + Attributi(riga, "linea") + " aria-hidden=\"true\"></div>\n";
        case Tipo::Picture:
            break;
        }
        return Figura(riga);
    }

    std::string Figura(const Riga& riga) const
    {
        const auto disegno = Disegni.find(riga.nome);
        const bool vasca = std::strcmp(riga.nome, "imgContenitore") == 0;
        const bool vuota = disegno == Disegni.end() && !vasca;
        std::string src = std::string(" src=\"") + Trasparente + "\"";
        if (disegno != Disegni.end())
            src = " src=\"" + DatiPng(m_sorgenti, disegno->second) + "\""
                + SorgentiAScala(m_sorgenti, "finestra/" + disegno->second);
        // The tank of the design: water, bitmap 101 of the table.
        if (vasca)
            src = " src=\"data:image/png;base64,"
                + Base64(PngDaBmp(Leggi(m_sorgenti + "/resources/bitmap/contenitore_acqua.bmp")))
                + "\"" + SorgentiAScala(m_sorgenti, "bitmap/contenitore_acqua.bmp");
        if (disegno != Disegni.end() && disegno->second == "freccia.png")
            return "<button type=\"button\"" + Attributi(riga, "freccia") + " title=\""
                + Html(Lettura::NomeFreccia) + "\" aria-label=\"" + Html(Lettura::NomeFreccia)
                + "\"><img alt=\"\"" + src + " draggable=\"false\"></button>\n";
        const auto nome = NomiAccessibili.find(riga.nome);
        const std::string alt = nome == NomiAccessibili.end() ? "" : Html(nome->second);
        // The tank drawn is the window's first complete paint, which the benchmark times.
        const std::string tempo = vasca ? " elementtiming=\"vasca\"" : "";
        // A picture without one keeps its design size until a picture is put into it.
        return "<img" + Attributi(riga, vuota ? "figura vuota" : "figura") + " alt=\"" + alt + "\""
            + src + tempo + " draggable=\"false\">\n";
    }

    std::string m_sorgenti;
};

std::string Rettangoli()
{
    std::string json = "[";
    for (const Riga& riga : Disposizione::Controlli) {
        Rettangolo r = RettangoloDi(riga);
        if (riga.contenitore) {
            const Rettangolo esterno = RettangoloDi(*Cerca(riga.contenitore));
            r.left += esterno.left;
            r.top += esterno.top;
        }
        json += "\n{\"id\":\"" + Id(riga) + "\",\"contenitore\":\""
            + (riga.contenitore ? riga.contenitore : "") + "\",\"left\":" + std::to_string(r.left)
            + ",\"top\":" + std::to_string(r.top) + ",\"width\":" + std::to_string(r.width)
            + ",\"height\":" + std::to_string(r.height) + "},";
    }
    json.back() = ']';
    return json + "\n";
}

// Every place of the mark; a template without it is a fault.
void Sostituisci(std::string& testo, const std::string& segno, const std::string& valore)
{
    std::size_t dove = testo.find(segno);
    if (dove == std::string::npos)
        throw std::runtime_error("the template has no " + segno);
    for (; dove != std::string::npos; dove = testo.find(segno, dove + valore.size()))
        testo.replace(dove, segno.size(), valore);
}

// The page's scripts, each in a file of its own beside the template, written in where the
// template names them ("@SCRIPT:script/adatta.js@"), without their licence line, which the page
// has once.
void Script(std::string& pagina, const std::string& cartella)
{
    const std::string segno = "@SCRIPT:";
    std::size_t dove = pagina.find(segno);
    if (dove == std::string::npos)
        throw std::runtime_error("the template has no " + segno);
    for (; dove != std::string::npos; dove = pagina.find(segno, dove)) {
        const std::size_t fine = pagina.find('@', dove + segno.size());
        if (fine == std::string::npos)
            throw std::runtime_error("a script's name without its end");
        const std::string nome = pagina.substr(dove + segno.size(), fine - dove - segno.size());
        std::string codice = Leggi(cartella + "/" + nome);
        if (codice.rfind("// SPDX-License-Identifier:", 0) == 0)
            codice.erase(0, codice.find('\n') + 1);
        while (!codice.empty() && codice.back() == '\n')
            codice.pop_back();
        if (codice.find("</script") != std::string::npos
            || codice.find("<!--") != std::string::npos)
            throw std::runtime_error(nome + " would end its script element");
        pagina.replace(dove, fine + 1 - dove, codice);
        dove += codice.size();
    }
}

void Scrivi(const std::string& percorso, const std::string& testo)
{
    std::ofstream file(percorso, std::ios::binary);
    file << testo;
    if (!file)
        throw std::runtime_error("cannot write " + percorso);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: Scheletro SORGENTI MODELLO PAGINA RETTANGOLI\n";
        return 2;
    }
    try {
        const std::string sorgenti = argv[1];
        std::string pagina = Leggi(argv[2]);
        Sostituisci(pagina, "@ICONA@", DatiPng(sorgenti, "busto.png"));
        Sostituisci(pagina, "@LARGHEZZA@", std::to_string(Px(Geometria::LarghezzaClient)));
        Sostituisci(pagina, "@ALTEZZA@", std::to_string(Px(Geometria::AltezzaClient)));
        const Colore sfondo = Geometria::SfondoForm;
        Sostituisci(pagina, "@SFONDO@",
            "rgb(" + std::to_string(sfondo.r) + ", " + std::to_string(sfondo.g) + ", "
                + std::to_string(sfondo.b) + ")");
        Sostituisci(pagina, "@CONTROLLI@", Scrittore(sorgenti).Contenitore(nullptr));
        Sostituisci(pagina, "@SI@", Html(DomandaDiUscita::Si));
        Sostituisci(pagina, "@NO@", Html(DomandaDiUscita::No));
        Sostituisci(pagina, "@RISORSE@", TabellaRisorse(sorgenti));
        const std::string modello = argv[2];
        Script(pagina, modello.substr(0, modello.find_last_of('/') + 1) + ".");
        Scrivi(argv[3], pagina);
        Scrivi(argv[4], Rettangoli());
    } catch (const std::exception& errore) {
        std::cerr << "Scheletro: " << errore.what() << "\n";
        return 1;
    }
    return 0;
}
