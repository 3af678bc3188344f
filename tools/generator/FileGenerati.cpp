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
#include <QImageWriter>

namespace {

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

// The window's pictures and the shell's icons; the identifiers are those that the Windows
// resource script gives the icon images. A body without one is held by the window only, in
// the same icon image format.
void Finestra(QMap<QString, QByteArray>& file)
{
    const QImage busto = Busto();
    file.insert("finestra/busto.png", Png(busto));
    file.insert("finestra/freccia.png", Png(FrecciaIndietro(32)));
    // The Win32 window draws the arrow itself, at the size that the screen's scale asks for.
    for (int lato : { 32, 16 })
        file.insert(QStringLiteral("windows/freccia%1.dib").arg(lato),
            ImmagineIcona(FrecciaIndietro(lato), 4));

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
    file.insert("bitmap/contenitore_acqua.bmp", FileBmp(Contenitore(0xFF80FFFF)));
    file.insert("bitmap/contenitore_olio.bmp", FileBmp(Contenitore(0xFFD2FF80)));
    file.insert("bitmap/contenitore_grigio.bmp", FileBmp(Contenitore(0xFFD6D6D6)));
    file.insert("bitmap/pozza_acqua.bmp", FileBmp(PozzaAcqua()));
    file.insert("bitmap/pozza_olio.bmp", FileBmp(PozzaOlio()));
    file.insert("bitmap/pozza_grigia.bmp", FileBmp(PozzaGrigia()));
    file.insert("bitmap/cubo_ghiaccio.bmp", FileBmp(CampioneMateriale(Materiale::Ghiaccio)));
    file.insert("bitmap/cubo_ferro.bmp", FileBmp(CampioneMateriale(Materiale::Ferro)));
    file.insert("bitmap/cubo_legno.bmp", FileBmp(CampioneMateriale(Materiale::Legno)));
    file.insert("bitmap/cubo_rame.bmp", FileBmp(CampioneMateriale(Materiale::Rame)));
    file.insert("suono/bolle.wav", SuonoBolle());
    file.insert("windows/versione.bin", RecordVersione());
    Finestra(file);
    return file;
}
