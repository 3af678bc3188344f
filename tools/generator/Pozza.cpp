// SPDX-License-Identifier: GPL-3.0-or-later
#include "Pozza.h"

#include "Rumore.h"
#include "Tela.h"

#include <QList>

namespace {

constexpr QRgb Bianco = 0xFFFFFFFF;

// One soft blob of liquid; a puddle is where the blobs together pass a threshold, so that
// neighbouring blobs merge with the rounded necks of a real spill.
struct Goccia {
    double cx;
    double cy;
    double rx;
    double ry;
    double peso = 1.0;
};

// Held in the pixels of a canvas of the given scale; distances are counted in design pixels.
class Forma {
public:
    Forma(const Tela& tela, const QList<Goccia>& gocce, quint32 seme)
        : m_larghezza(tela.Larghezza())
        , m_altezza(tela.Altezza())
        , m_scala(tela.Scala())
        , m_dentro(m_larghezza * m_altezza, false)
        , m_distanza(m_larghezza * m_altezza, 0)
    {
        const Rumore bordo(seme, 8);
        for (int py = 0; py < m_altezza; ++py)
            for (int px = 0; px < m_larghezza; ++px) {
                const double x = tela.Centro(px);
                const double y = tela.Centro(py);
                double campo = 0;
                for (const Goccia& g : gocce) {
                    const double u = (x - g.cx) / g.rx;
                    const double v = (y - g.cy) / g.ry;
                    const double q = u * u + v * v;
                    if (q < 1)
                        campo += g.peso * (1 - q) * (1 - q);
                }
                // The noise frays the edge a little, as a spill never has a clean outline.
                campo += 0.3 * (bordo.Valore(x / 5.0, y / 5.0) - 0.5);
                m_dentro[py * m_larghezza + px] = campo >= 0.3;
            }
        Distanze();
    }

    bool Dentro(int x, int y) const
    {
        return x >= 0 && y >= 0 && x < m_larghezza && y < m_altezza
            && m_dentro[y * m_larghezza + x];
    }

    // Design pixels to the nearest outside one, counted through edges: 1 on the outline.
    int Distanza(int x, int y) const
    {
        return Dentro(x, y) ? (m_distanza[y * m_larghezza + x] + m_scala - 1) / m_scala : 0;
    }

private:
    // Rings inwards from the outline; the picture's border counts as outside, so a puddle cut
    // by it still has its rim there.
    void Distanze()
    {
        for (int passo = 1;; ++passo) {
            bool cambiato = false;
            for (int y = 0; y < m_altezza; ++y)
                for (int x = 0; x < m_larghezza; ++x) {
                    if (!Dentro(x, y) || m_distanza[y * m_larghezza + x])
                        continue;
                    const auto esterno = [this, passo](int vx, int vy) {
                        return !Dentro(vx, vy)
                            || (passo > 1 && m_distanza[vy * m_larghezza + vx] == passo - 1);
                    };
                    if (esterno(x - 1, y) || esterno(x + 1, y) || esterno(x, y - 1)
                        || esterno(x, y + 1)) {
                        m_distanza[y * m_larghezza + x] = passo;
                        cambiato = true;
                    }
                }
            if (!cambiato)
                return;
        }
    }

    int m_larghezza;
    int m_altezza;
    int m_scala;
    QList<bool> m_dentro;
    QList<int> m_distanza;
};

// A spot of light on the surface: 1 at its centre, 0 at its edge and beyond.
double Luce(const Goccia& g, double x, double y)
{
    const double u = (x - g.cx) / g.rx;
    const double v = (y - g.cy) / g.ry;
    const double q = u * u + v * v;
    return q < 1 ? g.peso * (1 - q) : 0;
}

double LuceMassima(const QList<Goccia>& riflessi, double x, double y)
{
    double luce = 0;
    for (const Goccia& r : riflessi)
        luce = qMax(luce, Luce(r, x, y));
    return luce;
}

// The water drawing in a body colour of (b, 255, 255); the oil is the same with the channels
// turned round.
QImage DisegnoAcqua(int scala)
{
    const QList<Goccia> gocce = {
        // the wide body across the upper half, lobe by lobe
        { 9, 11, 8, 7 },
        { 19, 7.5, 10, 8 },
        { 30, 10, 11, 9 },
        { 44, 9, 11, 9 },
        { 55, 11.5, 10, 7.5 },
        { 64, 7.5, 8, 7.5 },
        { 41, 3, 6, 5 }, // the bump on top
        // the tongue, down to the lower left corner
        { 21, 15, 9, 7.5 },
        { 14, 19, 9, 7 },
        { 7, 22.5, 8, 6 },
        { 2, 26, 7, 5 },
    };
    Tela tela(67, 28, Bianco, scala);
    const Forma forma(tela, gocce, 0xAC0A);
    const QList<Goccia> riflessi = {
        { 22, 6, 11, 2.2 },
        { 47, 8, 7, 1.8, 0.8 },
        { 41, 2.5, 3, 1.2, 0.7 },
        { 12, 19, 4, 1.6, 0.8 },
    };
    static const QRgb chiari[] = { 0xFFBFFFFF, 0xFFCFFFFF, 0xFFDFFFFF, 0xFFF0FFFF };

    const int n = scala;
    const int altezza = tela.Altezza();
    for (int y = 0; y < altezza; ++y)
        for (int x = 0; x < tela.Larghezza(); ++x) {
            if (!forma.Dentro(x, y))
                continue;
            // The rim is a pixel wide, two along the near (lower) edge where the liquid's
            // thickness shows.
            const bool orlo = forma.Distanza(x, y) == 1
                || (y + 2 * n < altezza && !forma.Dentro(x, y + 2 * n) && forma.Dentro(x, y + n));
            if (orlo) {
                tela.Punto(x, y, 0xFFA0EFEF);
                continue;
            }
            const double luce = LuceMassima(riflessi, tela.Centro(x), tela.Centro(y));
            tela.Punto(x, y, chiari[qMin(3, int(luce * 4.2))]);
        }
    return tela.Immagine();
}

} // namespace

QImage PozzaAcqua(int scala)
{
    return DisegnoAcqua(scala);
}

QImage PozzaOlio(int scala)
{
    const QImage acqua = DisegnoAcqua(scala);
    // One row taller: the row through the middle of the body is drawn twice.
    constexpr int Doppia = 9;
    QImage olio(acqua.width(), acqua.height() + scala, QImage::Format_ARGB32);
    for (int y = 0; y < olio.height(); ++y) {
        const int da = y < (Doppia + 1) * scala ? y : y - scala;
        for (int x = 0; x < olio.width(); ++x) {
            const QRgb c = acqua.pixel(x, da);
            olio.setPixel(x, y, qRgb(qGreen(c), qBlue(c), qRed(c)));
        }
    }
    return olio;
}

QImage PozzaGrigia(int scala)
{
    const QList<Goccia> gocce = {
        { 8, 9, 8, 7 },
        { 18, 6.5, 10, 8 },
        { 30, 8, 11, 9 },
        { 42, 7.5, 11, 9 },
        { 54, 8, 10, 9 },
        { 63, 7.5, 8, 8.5 },
        { 46, 2.5, 6, 4.5 },
        { 20, 13, 9, 7 },
        { 13, 17, 9, 6.5 },
        { 6, 20.5, 8, 5.5 },
        { 1.5, 23.5, 7, 4.5 },
    };
    Tela tela(67, 25, Bianco, scala);
    const Forma forma(tela, gocce, 0x51);
    const int n = scala;
    // Mercury mirrors: sharp bright streaks, and the lit side of its rounded edge against the
    // shaded side.
    const QList<Goccia> riflessi = {
        { 25, 5, 11, 1.5 },
        { 50, 7.5, 7, 1.3, 0.9 },
        { 45, 2, 2.5, 1, 0.8 },
        { 11, 17, 4.5, 1.2, 0.9 },
    };
    // The surface as a low dome over the distance from the edge; light from the upper left.
    const auto altezzaDi = [&forma](int x, int y) { return qMin(forma.Distanza(x, y), 4); };
    for (int y = 0; y < tela.Altezza(); ++y)
        for (int x = 0; x < tela.Larghezza(); ++x) {
            if (!forma.Dentro(x, y))
                continue;
            if (forma.Distanza(x, y) == 1) {
                const bool sotto = !forma.Dentro(x, y + n);
                tela.Punto(x, y, sotto ? 0xFF9F9F9F : 0xFFA0A0A0);
                continue;
            }
            const int gx = altezzaDi(x + n, y) - altezzaDi(x - n, y);
            const int gy = altezzaDi(x, y + n) - altezzaDi(x, y - n);
            const int ombra = 2 * gy + gx; // > 0 faces the light
            const double luce = LuceMassima(riflessi, tela.Centro(x), tela.Centro(y));
            QRgb c = 0xFFB0B0B0;
            if (luce > 0.55)
                c = 0xFFF0F0F0;
            else if (luce > 0.2)
                c = 0xFFDCDCDC;
            else if (ombra >= 2)
                c = 0xFFC8C8C8;
            else if (ombra <= -2)
                c = 0xFFA6A6A6;
            tela.Punto(x, y, c);
        }
    return tela.Immagine();
}
