// SPDX-License-Identifier: GPL-3.0-or-later
#include "Risorse.h"

#include "Geometria.h"

#include <QFile>
#include <QIcon>

// The table lives in this static library; naming its initialiser here keeps the linker from
// dropping it, since no code refers to the resources otherwise. It must stand outside any
// namespace, where the initialiser is declared.
static void Inizializza()
{
    static const bool fatto = [] {
        Q_INIT_RESOURCE(idrovela);
        return true;
    }();
    Q_UNUSED(fatto);
}

namespace {

// A type name is one word; anything else could walk out of its folder of the table.
bool TipoValido(const char* tipo)
{
    if (!tipo || !*tipo)
        return false;
    for (const char* c = tipo; *c; ++c) {
        const bool lettera = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z');
        const bool cifra = *c >= '0' && *c <= '9';
        if (!lettera && !cifra && *c != '_')
            return false;
    }
    return true;
}

const char* Percorso(Risorse::Disegno disegno)
{
    using Risorse::Disegno;
    switch (disegno) {
    case Disegno::Busto:
        return ":/finestra/busto.png";
    case Disegno::FrecciaIndietro:
        return ":/finestra/freccia.png";
    case Disegno::CorpoGhiaccio:
        return ":/finestra/ghiaccio.png";
    case Disegno::CorpoFerro:
        return ":/finestra/ferro.png";
    case Disegno::CorpoRame:
        return ":/finestra/rame.png";
    case Disegno::CorpoLegno:
        return ":/finestra/legno.png";
    }
    return "";
}

// The drawing for a scale of n lies beside the design picture with "@nx" in its name; where
// the scale asks for one that is missing, the next smaller serves.
QImage AScala(const QString& percorso, const char* formato, qreal rapporto)
{
    const qsizetype fine = percorso.lastIndexOf(QLatin1Char('.'));
    const qsizetype punto = fine < 0 ? percorso.size() : fine;
    for (int scala = Geometria::ScalaDisegno(rapporto); scala > 1; --scala) {
        const QString scelto
            = percorso.left(punto) + QStringLiteral("@%1x").arg(scala) + percorso.mid(punto);
        if (!QFile::exists(scelto))
            continue;
        QImage immagine(scelto, "PNG");
        immagine.setDevicePixelRatio(scala);
        return immagine;
    }
    return QImage(percorso, formato);
}
} // namespace

QImage Risorse::Bitmap(int id)
{
    Inizializza();
    return QImage(QStringLiteral(":/bitmap/%1").arg(id), "BMP");
}

QImage Risorse::Bitmap(int id, qreal rapporto)
{
    Inizializza();
    return AScala(QStringLiteral(":/bitmap/%1").arg(id), "BMP", rapporto);
}

QByteArray Risorse::Dati(int id, const char* tipo)
{
    Inizializza();
    if (!TipoValido(tipo))
        return {};
    QFile file(QStringLiteral(":/%1/%2").arg(QLatin1String(tipo)).arg(id));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QImage Risorse::Immagine(Disegno disegno)
{
    Inizializza();
    return QImage(QLatin1String(Percorso(disegno)), "PNG");
}

QImage Risorse::Immagine(Disegno disegno, qreal rapporto)
{
    Inizializza();
    return AScala(QLatin1String(Percorso(disegno)), "PNG", rapporto);
}
