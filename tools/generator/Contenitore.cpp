// SPDX-License-Identifier: GPL-3.0-or-later
#include "Contenitore.h"

#include "Tela.h"

namespace {

constexpr QRgb Sfondo = 0xFFC0C0C0;
constexpr QRgb Bianco = 0xFFFFFFFF;
constexpr QRgb Nero = 0xFF000000;

// The pixels whose centres lie inside the ellipse inscribed in a box of whole pixels; the
// first and last row and column of the box are always reached.
struct Ellisse {
    Ellisse(int sinistra, int alto, int destra, int basso)
        : cx((sinistra + destra) / 2.0)
        , cy((alto + basso) / 2.0)
        , a((destra - sinistra + 1) / 2.0)
        , b((basso - alto + 1) / 2.0)
    {
    }

    bool operator()(double x, double y) const
    {
        const double u = (x - cx) / a;
        const double v = (y - cy) / b;
        return u * u + v * v <= 1.0;
    }

    double cx;
    double cy;
    double a;
    double b;
};

constexpr int Sinistra = 28;
constexpr int Destra = 233;
const Ellisse Bordo(Sinistra, 32, Destra, 79);
const Ellisse Superficie(Sinistra, 57, Destra, 104);
const Ellisse Fondo(Sinistra, 256, Destra, 303);

// The walls meet the ellipses where these are widest, the rows where the ellipse reaches the
// wall's column.
int PrimaRigaSullaParete(const Ellisse& e)
{
    int y = int(e.cy);
    while (e(Sinistra, y - 1))
        --y;
    return y;
}

int UltimaRigaSullaParete(const Ellisse& e)
{
    int y = int(e.cy);
    while (e(Sinistra, y + 1))
        ++y;
    return y;
}

} // namespace

QImage Contenitore(QRgb liquido, int scala)
{
    Tela tela(287, 366, Sfondo, scala);

    // Seen slightly from above: the liquid shows from the far arc of its surface down to the
    // near arc of the floor, and the glass above it stays background.
    tela.Riempi(
        [](double x, double y) {
            const bool traPareti = x >= Sinistra - 0.5 && x < Destra + 0.5;
            const bool corpo = traPareti && y >= Superficie.cy && y <= Fondo.cy;
            return corpo || Superficie(x, y) || Fondo(x, y);
        },
        liquido);

    tela.Contorno(Bordo, Nero);
    tela.Contorno(Superficie, Nero);
    tela.Contorno(Fondo, Nero);
    const int cima = PrimaRigaSullaParete(Bordo);
    const int piede = UltimaRigaSullaParete(Fondo);
    tela.Riempi(Rettangolo { Sinistra, cima, Sinistra, piede }, Nero);
    tela.Riempi(Rettangolo { Destra, cima, Destra, piede }, Nero);

    // The reflection of the window on the glass, over the liquid and clear of every outline.
    tela.Riempi(Rettangolo { 38, 106, 48, 260 }, Bianco);

    return tela.Immagine();
}
