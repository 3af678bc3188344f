// SPDX-License-Identifier: GPL-3.0-or-later
#include "FileGenerati.h"

#include "Bmp.h"
#include "Bolle.h"
#include "Busto.h"
#include "Contenitore.h"
#include "Cubo.h"
#include "Freccia.h"
#include "Icona.h"
#include "Pozza.h"
#include "Scala.h"
#include "Versione.h"

#include <QBuffer>
#include <QHash>
#include <QImageWriter>

#include <functional>

namespace {

// The larger drawings for screens that show more than one pixel per design pixel, named as
// Qt names them: "bitmap/contenitore_acqua@2x.png" beside "bitmap/contenitore_acqua.bmp".
constexpr int Scale[] = { 2, 3 };

QString NomeAScala(const QString& nome, int scala)
{
    return nome.left(nome.lastIndexOf('.')) + QStringLiteral("@%1x.png").arg(scala);
}

QByteArray Png(const QImage& immagine)
{
    QByteArray dati;
    QBuffer buffer(&dati);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(immagine.convertToFormat(QImage::Format_ARGB32)))
        return {};
    return dati;
}

// A PNG with a colour table when the picture has few enough colours, as all our drawings do:
// a quarter of the bytes of true colour, and the same pixels.
QByteArray PngCompatto(const QImage& immagine)
{
    const QImage argb = immagine.convertToFormat(QImage::Format_ARGB32);
    QList<QRgb> colori;
    QHash<QRgb, int> indici;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = qAlpha(argb.pixel(x, y)) ? argb.pixel(x, y) : 0;
            if (!indici.contains(c)) {
                if (colori.size() == 256)
                    return Png(argb);
                indici.insert(c, int(colori.size()));
                colori.append(c);
            }
        }
    QImage tavola(argb.size(), QImage::Format_Indexed8);
    tavola.setColorTable(colori);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x) {
            const QRgb c = qAlpha(argb.pixel(x, y)) ? argb.pixel(x, y) : 0;
            tavola.setPixel(x, y, uint(indici.value(c)));
        }
    QByteArray dati;
    QBuffer buffer(&dati);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(tavola) ? dati : QByteArray();
}

// The drawing at 2x and 3x beside the file of its design size.
void AScala(
    QMap<QString, QByteArray>& file, const QString& nome, const std::function<QImage(int)>& disegno)
{
    for (int scala : Scale)
        file.insert(NomeAScala(nome, scala), PngCompatto(disegno(scala)));
}

// The window's pictures and the shell's icons; the identifiers are those that the Windows
// resource script gives the icon images. A body without one is held by the window only, in
// the same icon image format.
void Finestra(QMap<QString, QByteArray>& file)
{
    const QImage busto = Busto();
    file.insert("finestra/busto.png", Png(busto));
    file.insert("finestra/freccia.png", Png(FrecciaIndietro(32)));
    AScala(file, "finestra/busto.png", [](int scala) { return Busto(scala); });
    AScala(file, "finestra/freccia.png", [](int scala) { return FrecciaIndietro(32, scala); });
    // The Win32 window draws the arrow itself, resampled to the size the screen's scale asks for.
    file.insert("windows/freccia32.dib", ImmagineIcona(FrecciaIndietro(32), 4));

    const QByteArray iconaBusto = ImmagineIcona(busto);
    file.insert("windows/busto.dib", iconaBusto);
    file.insert("windows/gruppo_busto.bin", GruppoIcone(iconaBusto, 30001));

    struct Corpo {
        Materiale materiale;
        const char* nome;
        quint16 icona; // 0: held by the window only
    };
    const Corpo corpi[] = {
        { Materiale::Ghiaccio, "ghiaccio", 1 },
        { Materiale::Ferro, "ferro", 2 },
        { Materiale::Legno, "legno", 3 },
        { Materiale::Rame, "rame", 0 },
    };
    for (const Corpo& corpo : corpi) {
        const QImage immagine = CorpoMateriale(corpo.materiale);
        const QString nome = QLatin1String(corpo.nome);
        file.insert("finestra/" + nome + ".png", Png(immagine));
        const Materiale materiale = corpo.materiale;
        AScala(file, "finestra/" + nome + ".png",
            [materiale](int scala) { return CorpoMateriale(materiale, scala); });
        const QByteArray icona = ImmagineIcona(immagine);
        file.insert("windows/" + nome + ".dib", icona);
        if (corpo.icona)
            file.insert("windows/gruppo_" + nome + ".bin", GruppoIcone(icona, corpo.icona));
    }

    QList<QByteArray> ico;
    for (int lato : { 16, 24, 32, 48 }) {
        const QByteArray piccola = ImmagineIconaArgb(Rimpicciolisci(busto, lato));
        ico.append(piccola);
        // The Win32 window's own icons for its title bar and the taskbar.
        if (lato != 24)
            file.insert(QStringLiteral("windows/busto%1.dib").arg(lato), piccola);
    }
    ico.append(iconaBusto);
    file.insert("windows/idrovela.ico", iconaBusto.isEmpty() ? QByteArray() : FileIco(ico));

    for (int lato : { 16, 22, 24, 32, 48, 64, 128 }) {
        const QImage icona = lato == busto.width() ? busto : Rimpicciolisci(busto, lato);
        file.insert(QStringLiteral("hicolor/%1x%1/apps/idrovela.png").arg(lato), Png(icona));
    }

    // The browser's installed app asks for 192 and 512 pixels: four times the bust, and that
    // made smaller.
    const QImage grande = Ingrandisci(busto, 4);
    file.insert("web/idrovela-512.png", Png(grande));
    file.insert("web/idrovela-192.png", Png(Rimpicciolisci(grande, 192)));
}

} // namespace

QMap<QString, QByteArray> FileGenerati()
{
    QMap<QString, QByteArray> file;
    using Disegno = std::function<QImage(int)>;
    const auto contenitore = [](QRgb liquido) -> Disegno {
        return [liquido](int scala) { return Contenitore(liquido, scala); };
    };
    const auto campione = [](Materiale materiale) -> Disegno {
        return [materiale](int scala) { return CampioneMateriale(materiale, scala); };
    };
    const std::pair<const char*, Disegno> bitmap[] = {
        { "bitmap/contenitore_acqua.bmp", contenitore(0xFF80FFFF) },
        { "bitmap/contenitore_olio.bmp", contenitore(0xFFD2FF80) },
        { "bitmap/contenitore_grigio.bmp", contenitore(0xFFD6D6D6) },
        { "bitmap/pozza_acqua.bmp", [](int scala) { return PozzaAcqua(scala); } },
        { "bitmap/pozza_olio.bmp", [](int scala) { return PozzaOlio(scala); } },
        { "bitmap/pozza_grigia.bmp", [](int scala) { return PozzaGrigia(scala); } },
        { "bitmap/cubo_ghiaccio.bmp", campione(Materiale::Ghiaccio) },
        { "bitmap/cubo_ferro.bmp", campione(Materiale::Ferro) },
        { "bitmap/cubo_legno.bmp", campione(Materiale::Legno) },
        { "bitmap/cubo_rame.bmp", campione(Materiale::Rame) },
    };
    for (const auto& [nome, disegno] : bitmap) {
        file.insert(nome, FileBmp(disegno(1)));
        AScala(file, nome, disegno);
    }
    file.insert("suono/bolle.wav", SuonoBolle());
    file.insert("windows/versione.bin", RecordVersione());
    Finestra(file);
    return file;
}
