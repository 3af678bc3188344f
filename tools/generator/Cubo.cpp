// SPDX-License-Identifier: GPL-3.0-or-later
#include "Cubo.h"

#include "Casuale.h"
#include "Rumore.h"
#include "Tela.h"

#include <QPointF>

#include <cmath>

namespace {

constexpr QRgb Bianco = 0xFFFFFFFF;
constexpr QRgb Trasparente = 0x00000000;

enum class Faccia {
    Nessuna,
    Sopra,
    Sinistra,
    Destra,
};

// The wooden sample and the wooden body share the grain but not the colours.
enum class Aspetto {
    Ghiaccio,
    Ferro,
    Rame,
    Legno,
    LegnoSalmone,
};

constexpr int Spigolo = 21; // the vertical edges; the whole cube is 31 rows high

// Seen from above a front corner: the top face is a flat parallelogram whose front corner lies
// a little left of the middle, and the two side faces hang below its front edges.
struct Geometria {
    explicit Geometria(int larghezza)
        : sinistro(0, 5)
        , fronte(larghezza / 2 - 2, 9)
        , destro(larghezza - 1, 4)
        , retro(destro + sinistro - fronte)
    {
    }

    static QPoint Giu(QPoint p) { return p + QPoint(0, Spigolo); }

    QPoint sinistro;
    QPoint fronte;
    QPoint destro;
    QPoint retro;
};

// Where a pixel lies on the cube: the face and its coordinates along the face's two edges,
// both from 0 to 1.
struct Posto {
    Faccia faccia = Faccia::Nessuna;
    double u = 0;
    double v = 0;
};

bool SulParallelogramma(QPointF p, QPointF origine, QPointF e1, QPointF e2, Posto& posto)
{
    const double det = e1.x() * e2.y() - e1.y() * e2.x();
    const QPointF d = p - origine;
    posto.u = (d.x() * e2.y() - d.y() * e2.x()) / det;
    posto.v = (e1.x() * d.y() - e1.y() * d.x()) / det;
    constexpr double Margine = 1e-9;
    return posto.u >= -Margine && posto.u <= 1 + Margine && posto.v >= -Margine
        && posto.v <= 1 + Margine;
}

Posto Trova(const Geometria& g, double x, double y)
{
    const QPointF p(x, y);
    const QPointF giu(0, Spigolo);
    Posto posto;
    if (SulParallelogramma(p, g.sinistro, g.fronte - g.sinistro, g.retro - g.sinistro, posto))
        posto.faccia = Faccia::Sopra;
    else if (SulParallelogramma(p, g.sinistro, g.fronte - g.sinistro, giu, posto))
        posto.faccia = Faccia::Sinistra;
    else if (SulParallelogramma(p, g.fronte, g.destro - g.fronte, giu, posto))
        posto.faccia = Faccia::Destra;
    return posto;
}

// Per-pixel noise that depends only on the design pixel's place on the cube.
double Grana(double dx, double dy, quint32 seme)
{
    const int x = int(std::floor(dx + 0.5));
    const int y = int(std::floor(dy + 0.5));
    const quint32 h = Casuale::Miscela(quint32(x) * 0x9E3779B1u ^ quint32(y) * 0x85EBCA77u ^ seme);
    return (h >> 8) / double(1u << 24);
}

double Frazione(double t)
{
    return t - std::floor(t);
}

QRgb ColoreGhiaccio(const Posto& p, double x, double y)
{
    static const Rumore brina(0x1CE, 6);
    // Frost streaks run slantwise across the side faces.
    const double striscia
        = Frazione((p.u * 2.2 + p.v * 1.3) + 0.35 * brina.Valore(x / 5.0, y / 5.0));
    switch (p.faccia) {
    case Faccia::Sopra:
        return brina.Valore(x / 4.0, y / 3.0) > 0.7 ? 0xFFDFFFFF : 0xFFBFFFFF;
    case Faccia::Sinistra:
        return striscia < 0.14 ? 0xFFD4F8FF : 0xFFEFFFFF;
    case Faccia::Destra:
        if (striscia < 0.16)
            return 0xFFA8F6FF;
        return p.v > 0.8 && Grana(x, y, 7) < 0.5 ? 0xFF6FE4F8 : 0xFF7FF0FF;
    case Faccia::Nessuna:
        break;
    }
    return Trasparente;
}

QRgb ColoreFerro(const Posto& p, double x, double y)
{
    static const Rumore macchie(0xFE, 7);
    // Blotches a few pixels wide with a fine speckle over them, in three steps per face.
    const double m = 0.7 * macchie.Valore(x / 3.5, y / 3.5) + 0.3 * Grana(x, y, 26);
    const int passo = m < 0.38 ? 0 : (m < 0.62 ? 1 : 2);
    static const QRgb sopra[] = { 0xFFE0E0E0, 0xFFE8E8E8, 0xFFEFEFEF };
    static const QRgb sinistra[] = { 0xFFD0D0D0, 0xFFD8D8D8, 0xFFE0E0E0 };
    static const QRgb destra[] = { 0xFFC0C0C0, 0xFFC8C8C8, 0xFFD0D0D0 };
    switch (p.faccia) {
    case Faccia::Sopra:
        return sopra[passo];
    case Faccia::Sinistra:
        return sinistra[passo];
    case Faccia::Destra:
        return destra[passo];
    case Faccia::Nessuna:
        break;
    }
    return Trasparente;
}

QRgb ColoreRame(const Posto& p)
{
    switch (p.faccia) {
    case Faccia::Sopra:
        return 0xFFFFC760;
    case Faccia::Sinistra:
        return 0xFFFFB740;
    case Faccia::Destra:
        return 0xFFFFA820;
    case Faccia::Nessuna:
        break;
    }
    return Trasparente;
}

// The wood's tone, 0 for a dark grain line up to 4 for a pale streak. The grain runs along the
// left face and the top; the right face cuts across it and shows the rings.
int TonoLegno(const Posto& p, double x, double y)
{
    static const Rumore onde(0x70C0, 5);
    double fibra = 0;
    if (p.faccia == Faccia::Destra) {
        const double du = p.u * 18 + 5;
        const double dv = p.v * 21 + 3;
        fibra = std::sqrt(du * du + dv * dv) / 4.5 + 0.35 * onde.Valore(x / 7.0, y / 7.0);
    } else {
        const double traverso = p.faccia == Faccia::Sopra ? (1 - p.v) * 9 : 9 + p.v * 21;
        fibra = traverso / 5.0 + 0.8 * onde.Valore(x / 12.0, y / 5.0);
    }
    const double f = Frazione(fibra);
    if (f < 0.12)
        return 0;
    if (f < 0.24)
        return 1;
    if (f > 0.55 && f < 0.64)
        return 4;
    return onde.Valore(x / 5.0 + 2, y / 5.0) > 0.5 ? 3 : 2;
}

QRgb ColoreLegno(Aspetto aspetto, const Posto& p, double x, double y)
{
    if (p.faccia == Faccia::Nessuna)
        return Trasparente;
    const int tono = TonoLegno(p, x, y);
    // Each face in its own light: top brightest, right in shade.
    const int faccia = p.faccia == Faccia::Sopra ? 0 : (p.faccia == Faccia::Sinistra ? 1 : 2);
    static const QRgb legno[3][5] = {
        { 0xFFB09060, 0xFFC8A880, 0xFFDFC09F, 0xFFD8B898, 0xFFF0DCC0 },
        { 0xFF9F7F4F, 0xFFC0A07F, 0xFFD8B897, 0xFFCFAF8F, 0xFFEAD4B8 },
        { 0xFF9F7F4F, 0xFFB89870, 0xFFC8A887, 0xFFC0A07F, 0xFFDCC4A4 },
    };
    static const QRgb salmone[3][5] = {
        { 0xFF8C8C8C, 0xFFB0A4A0, 0xFFF4B8A8, 0xFFE8A898, 0xFFA8A8A8 },
        { 0xFF808080, 0xFFA09490, 0xFFE8A490, 0xFFDA9886, 0xFF9C9C9C },
        { 0xFF747474, 0xFF948884, 0xFFD89480, 0xFFC88A78, 0xFF909090 },
    };
    if (aspetto == Aspetto::LegnoSalmone) {
        // Grey patches spread over the salmon, the mottling of the body in the tank.
        static const Rumore chiazze(0x5A1, 6);
        if (tono >= 2 && chiazze.Valore(x / 4.0, y / 4.0) > 0.66)
            return salmone[faccia][4];
        return salmone[faccia][tono];
    }
    return legno[faccia][tono];
}

struct Spigoli {
    QRgb contorno;
    QRgb sopra; // the two front edges of the top face
    QRgb fronte; // the vertical front edge
};

Spigoli SpigoliDi(Aspetto aspetto)
{
    switch (aspetto) {
    case Aspetto::Ghiaccio:
        return { 0xFF58C4E0, 0xFFFFFFFF, 0xFFFFFFFF };
    case Aspetto::Ferro:
        return { 0xFFC0C0C0, 0xFFEFEFEF, 0xFFEFEFEF };
    case Aspetto::Rame:
        return { 0xFFDF9000, 0xFFFFE0AF, 0xFFFFD08F };
    case Aspetto::Legno:
        return { 0xFF9F7F4F, 0xFFEAD4B8, 0xFFB09060 };
    case Aspetto::LegnoSalmone:
        return { 0xFF707070, 0xFFF8C8B8, 0xFF8C8C8C };
    }
    return {};
}

QRgb ColoreFaccia(Aspetto aspetto, const Posto& p, double x, double y)
{
    switch (aspetto) {
    case Aspetto::Ghiaccio:
        return ColoreGhiaccio(p, x, y);
    case Aspetto::Ferro:
        return ColoreFerro(p, x, y);
    case Aspetto::Rame:
        return ColoreRame(p);
    case Aspetto::Legno:
    case Aspetto::LegnoSalmone:
        return ColoreLegno(aspetto, p, x, y);
    }
    return Trasparente;
}

int Larghezza(Aspetto aspetto)
{
    return aspetto == Aspetto::Legno || aspetto == Aspetto::LegnoSalmone ? 38 : 34;
}

// Draws the cube with its top-left extent at origine. The texture is a function of the place
// on the cube only, so every copy of a cube is the same drawing wherever it stands.
void DisegnaCubo(Tela& tela, QPoint origine, Aspetto aspetto)
{
    const Geometria g(Larghezza(aspetto));
    const int n = tela.Scala();
    for (int y = 0; y < (g.Giu(g.fronte).y() + 1) * n; ++y)
        for (int x = 0; x < (g.destro.x() + 1) * n; ++x) {
            const Posto p = Trova(g, tela.Centro(x), tela.Centro(y));
            if (p.faccia != Faccia::Nessuna)
                tela.Punto(origine.x() * n + x, origine.y() * n + y,
                    ColoreFaccia(aspetto, p, tela.Centro(x), tela.Centro(y)));
        }

    const Spigoli s = SpigoliDi(aspetto);
    const auto linea = [&](QPoint a, QPoint b, QRgb c) { tela.Linea(origine + a, origine + b, c); };
    linea(g.sinistro, g.fronte, s.sopra);
    linea(g.fronte, g.destro, s.sopra);
    linea(g.fronte, Geometria::Giu(g.fronte), s.fronte);
    linea(g.retro, g.sinistro, s.contorno);
    linea(g.sinistro, Geometria::Giu(g.sinistro), s.contorno);
    linea(Geometria::Giu(g.sinistro), Geometria::Giu(g.fronte), s.contorno);
    linea(Geometria::Giu(g.fronte), Geometria::Giu(g.destro), s.contorno);
    linea(Geometria::Giu(g.destro), g.destro, s.contorno);
    linea(g.destro, g.retro, s.contorno);
}

Aspetto AspettoDi(Materiale materiale)
{
    switch (materiale) {
    case Materiale::Ghiaccio:
        return Aspetto::Ghiaccio;
    case Materiale::Ferro:
        return Aspetto::Ferro;
    case Materiale::Rame:
        return Aspetto::Rame;
    case Materiale::Legno:
        return Aspetto::Legno;
    }
    return Aspetto::Ghiaccio;
}

} // namespace

QImage CampioneMateriale(Materiale materiale, int scala)
{
    const bool rame = materiale == Materiale::Rame;
    Tela tela(rame ? 62 : 46, rame ? 61 : 46, Bianco, scala);
    QPoint origine;
    switch (materiale) {
    case Materiale::Ghiaccio:
        origine = { 7, 9 };
        break;
    case Materiale::Ferro:
        origine = { 6, 7 };
        break;
    case Materiale::Rame:
        origine = { 13, 17 };
        break;
    case Materiale::Legno:
        origine = { 5, 8 };
        break;
    }
    DisegnaCubo(tela, origine, AspettoDi(materiale));
    return tela.Immagine();
}

QImage CorpoMateriale(Materiale materiale, int scala)
{
    Tela tela(64, 64, Trasparente, scala);
    switch (materiale) {
    case Materiale::Ghiaccio:
        DisegnaCubo(tela, { 13, 17 }, Aspetto::Ghiaccio);
        break;
    case Materiale::Ferro:
        DisegnaCubo(tela, { 14, 17 }, Aspetto::Ferro);
        break;
    case Materiale::Rame:
        DisegnaCubo(tela, { 13, 17 }, Aspetto::Rame);
        break;
    case Materiale::Legno:
        DisegnaCubo(tela, { 12, 18 }, Aspetto::LegnoSalmone);
        break;
    }
    return tela.Immagine();
}
