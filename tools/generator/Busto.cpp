// SPDX-License-Identifier: GPL-3.0-or-later
#include "Busto.h"

#include "Casuale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <vector>

// The bust is modelled as a height field (how far each point of the front view stands out
// towards the viewer), sampled four times finer than the icon, and lit like a sculpture:
// a light from the upper left, cast shadows, and darkening in the hollows. It uses only
// arithmetic and square roots, which IEEE floating point rounds exactly, so the bytes do
// not depend on the maths library.

namespace {

constexpr int Lato = 128;
constexpr int Fitto = 4; // samples per pixel along each axis
constexpr int LatoFitto = Lato * Fitto;
constexpr float Vuoto = -1000.0f; // no marble here
constexpr float Asse = 61.5f; // the vertical axis of the bust, in pixels

// Uniform in [da, a).
float Tra(Casuale& caso, float da, float a)
{
    return da + (a - da) * float(caso.Reale());
}

struct Rilievo {
    std::vector<float> z = std::vector<float>(size_t(LatoFitto) * LatoFitto, Vuoto);

    float& operator()(int i, int j) { return z[size_t(j) * LatoFitto + size_t(i)]; }
    float operator()(int i, int j) const { return z[size_t(j) * LatoFitto + size_t(i)]; }
    bool pieno(int i, int j) const { return (*this)(i, j) > Vuoto; }
    // The height at a point given in pixels, or Vuoto.
    float quota(float x, float y) const
    {
        const int i = std::clamp(int(x * Fitto), 0, LatoFitto - 1);
        const int j = std::clamp(int(y * Fitto), 0, LatoFitto - 1);
        return (*this)(i, j);
    }
};

// Calls f(x, y, i, j) for every sample whose centre lies in the box, x and y in pixels.
template <typename F> void perOgniCampione(float x0, float y0, float x1, float y1, F f)
{
    const int i0 = std::max(0, int(std::floor(x0 * Fitto)));
    const int j0 = std::max(0, int(std::floor(y0 * Fitto)));
    const int i1 = std::min(LatoFitto - 1, int(std::ceil(x1 * Fitto)));
    const int j1 = std::min(LatoFitto - 1, int(std::ceil(y1 * Fitto)));
    for (int j = j0; j <= j1; ++j) {
        for (int i = i0; i <= i1; ++i)
            f((float(i) + 0.5f) / Fitto, (float(j) + 0.5f) / Fitto, i, j);
    }
}

float ellisse(float x, float y, float cx, float cy, float a, float b)
{
    const float u = (x - cx) / a;
    const float v = (y - cy) / b;
    return u * u + v * v;
}

void alza(Rilievo& r, int i, int j, float z)
{
    r(i, j) = std::max(r(i, j), z);
}

// A dome over an elliptic outline, rising alto above the base height cz.
void cupola(Rilievo& r, float cx, float cy, float cz, float a, float b, float alto)
{
    perOgniCampione(cx - a, cy - b, cx + a, cy + b, [&](float x, float y, int i, int j) {
        const float d = ellisse(x, y, cx, cy, a, b);
        if (d < 1.0f)
            alza(r, i, j, cz + alto * std::sqrt(1.0f - d));
    });
}

// Swells (positive alto) or hollows an existing surface, smoothly.
void bozza(Rilievo& r, float cx, float cy, float a, float b, float alto)
{
    perOgniCampione(cx - a, cy - b, cx + a, cy + b, [&](float x, float y, int i, int j) {
        const float d = ellisse(x, y, cx, cy, a, b);
        if (d < 1.0f && r.pieno(i, j))
            r(i, j) += alto * (1.0f - d) * (1.0f - d);
    });
}

// A lock of hair or beard: an elongated dome along the unit direction (ux, uy), with the
// small hole that the sculptor's drill leaves at the heart of a curl.
void ricciolo(Rilievo& r, float cx, float cy, float cz, float lungo, float largo, float ux,
    float uy, float alto)
{
    const float m = std::max(lungo, largo);
    perOgniCampione(cx - m, cy - m, cx + m, cy + m, [&](float x, float y, int i, int j) {
        const float dx = x - cx;
        const float dy = y - cy;
        const float u = (dx * ux + dy * uy) / lungo;
        const float v = (dy * ux - dx * uy) / largo;
        const float d = u * u + v * v;
        if (d >= 1.0f)
            return;
        float z = cz + alto * std::sqrt(1.0f - d);
        const float foro = ellisse(u, v, 0.15f, 0.0f, 0.26f, 0.26f);
        if (foro < 1.0f)
            z -= 0.55f * alto * (1.0f - foro) * (1.0f - foro);
        alza(r, i, j, z);
    });
}

struct Punto {
    float x, y;
};

// A fold of cloth: a rounded ridge along the curve from a to b bent towards c (a quadratic
// Bézier curve), thinning out towards both ends.
void piega(Rilievo& r, Punto a, Punto c, Punto b, float largo, float alto)
{
    constexpr int Tratti = 8;
    Punto p[Tratti + 1];
    for (int k = 0; k <= Tratti; ++k) {
        const float t = float(k) / Tratti;
        const float s = 1.0f - t;
        p[k] = { s * s * a.x + 2 * s * t * c.x + t * t * b.x,
            s * s * a.y + 2 * s * t * c.y + t * t * b.y };
    }
    const float x0 = std::min({ a.x, b.x, c.x }) - largo;
    const float y0 = std::min({ a.y, b.y, c.y }) - largo;
    const float x1 = std::max({ a.x, b.x, c.x }) + largo;
    const float y1 = std::max({ a.y, b.y, c.y }) + largo;
    perOgniCampione(x0, y0, x1, y1, [&](float x, float y, int i, int j) {
        if (!r.pieno(i, j))
            return;
        float migliore = 1.0f;
        float dove = 0.0f;
        for (int k = 0; k < Tratti; ++k) {
            const float lx = p[k + 1].x - p[k].x;
            const float ly = p[k + 1].y - p[k].y;
            const float t = std::clamp(
                ((x - p[k].x) * lx + (y - p[k].y) * ly) / (lx * lx + ly * ly), 0.0f, 1.0f);
            const float d = ellisse(x, y, p[k].x + t * lx, p[k].y + t * ly, largo, largo);
            if (d < migliore) {
                migliore = d;
                dove = (float(k) + t) / Tratti;
            }
        }
        const float coda = std::min(1.0f, 3.0f * std::min(dove, 1.0f - dove) + 0.3f);
        r(i, j) += alto * coda * (1.0f - migliore) * (1.0f - migliore);
    });
}

// --- The sculpture -----------------------------------------------------------------------

void volto(Rilievo& testa)
{
    cupola(testa, Asse, 33.0f, 16.0f, 16.5f, 24.0f, 22.0f);
    for (const float lato : { -1.0f, 1.0f }) {
        const float x = Asse + lato * 6.2f;
        bozza(testa, x, 28.3f, 6.8f, 2.6f, 2.4f); // brow ridge
        bozza(testa, x, 32.2f, 4.4f, 3.0f, -4.8f); // eye socket
        bozza(testa, x, 32.6f, 2.8f, 1.9f, 3.0f); // eyeball
        bozza(testa, x, 36.3f, 4.0f, 1.5f, -1.0f); // bag under the eye
        bozza(testa, Asse + lato * 9.8f, 38.5f, 5.0f, 4.5f, 2.0f); // cheekbone
        bozza(testa, Asse + lato * 14.0f, 27.0f, 3.0f, 5.0f, -2.0f); // temple
        bozza(testa, Asse + lato * 3.0f, 44.6f, 2.0f, 1.8f, 1.8f); // wing of the nose
        bozza(testa, Asse + lato * 1.6f, 46.3f, 1.3f, 0.9f, -2.0f); // nostril
    }
    bozza(testa, Asse, 29.5f, 2.5f, 2.0f, 1.0f); // between the brows
    bozza(testa, Asse, 37.5f, 2.6f, 8.5f, 6.5f); // bridge of the nose
    bozza(testa, Asse, 44.0f, 3.3f, 2.6f, 2.5f); // tip of the nose
    bozza(testa, Asse, 53.6f, 3.6f, 1.3f, 1.5f); // lower lip
}

// The height of the mass of hair over the skull, on which the curls sit.
float calotta(float x, float y)
{
    return 15.0f
        + 22.0f * std::sqrt(std::max(0.0f, 1.0f - ellisse(x, y, Asse, 31.0f, 21.0f, 26.0f)));
}

void capelli(Rilievo& r)
{
    Casuale caso(20240517u);
    // The outer ring makes the outline of the head: curls along an ellipse, placed by a
    // rational parametrisation so that no trigonometry is needed.
    for (int k = -9; k <= 9; ++k) {
        const float t = float(k) / 7.0f;
        const float cx = Asse + 17.5f * 2.0f * t / (1.0f + t * t);
        const float cy = 30.0f - 21.0f * (1.0f - t * t) / (1.0f + t * t);
        const float raggio = k == 0 ? 4.0f : Tra(caso, 3.4f, 4.2f);
        ricciolo(r, cx, cy, calotta(cx, cy) - 1.0f, raggio, raggio, 0.0f, 1.0f, 3.0f);
    }
    int fila = 0;
    for (float y = 9.0f; y < 46.0f; y += 3.8f, ++fila) {
        const float scarto = fila % 2 == 0 ? 0.0f : 2.1f;
        for (float x = Asse - 21.0f + scarto; x < Asse + 21.0f; x += 4.2f) {
            const float cx = x + Tra(caso, -0.7f, 0.7f);
            const float cy = y + Tra(caso, -0.7f, 0.7f);
            if (ellisse(cx, cy, Asse, 30.0f, 18.0f, 21.5f) >= 1.0f
                || ellisse(cx, cy, Asse, 38.0f, 12.5f, 20.5f) < 1.0f)
                continue;
            const float raggio = Tra(caso, 2.9f, 3.6f);
            ricciolo(r, cx, cy, calotta(cx, cy) - 0.5f, raggio, raggio, 0.0f, 1.0f, 2.6f);
        }
    }
}

// The height of the mass of the beard, on which its locks sit.
float massaBarba(float x, float y)
{
    return 20.0f
        + 18.0f * std::sqrt(std::max(0.0f, 1.0f - ellisse(x, y, Asse, 52.0f, 17.0f, 28.0f)));
}

void barba(Rilievo& r, const Rilievo& testa)
{
    Casuale caso(7771u);
    int fila = 0;
    for (float y = 43.0f; y < 78.0f; y += 4.2f, ++fila) {
        const float scarto = fila % 2 == 0 ? 0.0f : 2.3f;
        for (float x = Asse - 17.0f + scarto; x < Asse + 17.0f; x += 4.6f) {
            const float cx = x + Tra(caso, -0.6f, 0.6f);
            const float cy = y + Tra(caso, -0.6f, 0.6f);
            if (ellisse(cx, cy, Asse, 50.0f, 15.5f, 27.0f) >= 1.0f
                || ellisse(cx, cy, Asse, 40.0f, 11.0f, 13.5f) < 1.0f)
                continue;
            // Locks hang down and spread outwards, each row twisted a little the other way.
            const float verso = 0.35f * (cx - Asse) / 16.0f + (fila % 2 == 0 ? 0.12f : -0.12f);
            const float n = std::sqrt(verso * verso + 1.0f);
            const float base = std::max(massaBarba(cx, cy), testa.quota(cx, cy));
            // Drawn in statements of their own: within one call's arguments the compiler
            // chooses the order, and the picture must not depend on the compiler.
            const float largo = Tra(caso, 2.7f, 3.2f);
            const float lungo = Tra(caso, 4.4f, 5.2f);
            ricciolo(r, cx, cy, base - 1.0f, lungo, largo, verso / n, 1.0f / n, 3.0f);
        }
    }
    // The moustache droops from under the nose over the corners of the mouth.
    for (const float lato : { -1.0f, 1.0f }) {
        for (int k = 0; k < 3; ++k) {
            const float cx = Asse + lato * (2.6f + 3.4f * float(k));
            const float cy = 48.3f + 0.4f * float(k * k) + 0.8f * float(k);
            const float verso = 0.3f + 0.2f * float(k);
            const float n = std::sqrt(1.0f + verso * verso);
            ricciolo(r, cx, cy, testa.quota(cx, cy) + 0.5f, 3.3f, 2.0f, lato / n, verso / n, 2.5f);
        }
    }
}

void torso(Rilievo& r)
{
    perOgniCampione(Asse - 38.5f, 60.0f, Asse + 38.5f, 112.0f, [&](float x, float y, int i, int j) {
        const float u = (x - Asse) / 38.5f;
        const float v = (y - 92.0f) / 32.0f;
        const float f = 0.5f * (u * u + v * v) + 0.5f * (u * u * u * u + v * v * v * v);
        const float taglio = 111.0f - 0.006f * (x - Asse) * (x - Asse);
        if (f < 1.0f && y < taglio)
            alza(r, i, j, 4.0f + 22.0f * std::sqrt(1.0f - f));
    });
}

// A chiton with fine folds falling from the neck, and over it a heavier mantle that comes
// over the left shoulder and crosses the chest towards the right hip.
void panneggio(Rilievo& r)
{
    Casuale caso(4242u);
    for (int k = 0; k < 5; ++k) {
        const float x = Asse - 11.0f - 5.2f * float(k) + Tra(caso, -0.8f, 0.8f);
        const float alto = Tra(caso, 1.3f, 1.8f);
        const float largo = Tra(caso, 1.8f, 2.4f);
        piega(r, { x, 64.0f + 2.5f * float(k) }, { x - 1.5f - float(k), 86.0f },
            { x - 1.0f - 1.6f * float(k), 110.0f }, largo, alto);
    }
    const Punto orlo0 { Asse + 10.0f, 74.0f };
    const Punto orlo1 { Asse - 37.0f, 102.0f };
    const float lx = orlo1.x - orlo0.x;
    const float ly = orlo1.y - orlo0.y;
    const float l = std::sqrt(lx * lx + ly * ly);
    perOgniCampione(Asse - 38.5f, 60.0f, Asse + 38.5f, 112.0f, [&](float x, float y, int i, int j) {
        const float dentro = ((x - orlo0.x) * -ly + (y - orlo0.y) * lx) / l;
        if (r.pieno(i, j) && dentro > 0.0f && y > 68.0f)
            r(i, j) += 2.0f * std::min(1.0f, dentro / 2.5f);
    });
    piega(r, { orlo0.x + 1.5f, orlo0.y + 2.0f }, { Asse - 10.0f, 92.0f },
        { orlo1.x + 1.5f, orlo1.y + 2.0f }, 3.0f, 2.2f);
    // The mantle's folds fan out from where it is gathered on the shoulder.
    for (int k = 0; k < 6; ++k) {
        const Punto da { Asse + 21.0f + 2.4f * float(k), 73.0f + 2.2f * float(k) };
        const Punto a { Asse - 24.0f + 10.0f * float(k), 112.0f - 0.6f * float(k * k) };
        const Punto verso { (da.x + a.x) / 2.0f - 1.0f, (da.y + a.y) / 2.0f + 3.5f };
        piega(r, da, verso, a, k % 2 == 0 ? 3.0f : 2.3f, Tra(caso, 1.4f, 2.2f));
    }
    const struct {
        Punto a, c, b;
        float largo, alto;
    } pieghe[] = {
        { { Asse + 17.0f, 70.0f }, { Asse + 27.0f, 71.0f }, { Asse + 35.0f, 80.0f }, 2.4f, 1.8f },
        { { Asse + 13.0f, 76.0f }, { Asse + 25.0f, 77.0f }, { Asse + 37.0f, 90.0f }, 2.2f, 1.5f },
    };
    for (const auto& p : pieghe)
        piega(r, p.a, p.c, p.b, p.largo, p.alto);
}

// A turned socle below the chest: a profile of radii, row by row, spun round the axis.
void zoccolo(Rilievo& r)
{
    struct Tratto {
        float da, a, raggioDa, raggioA;
    };
    const Tratto profilo[] = {
        { 100.0f, 112.5f, 8.5f, 8.5f },
        { 112.5f, 115.0f, 10.0f, 10.0f },
        { 115.0f, 119.0f, 10.0f, 16.0f },
        { 119.0f, 122.5f, 17.5f, 17.5f },
        { 122.5f, 125.0f, 18.0f, 18.0f },
    };
    for (const Tratto& t : profilo) {
        perOgniCampione(Asse - t.raggioA - 1.0f, t.da, Asse + t.raggioA + 1.0f, t.a,
            [&](float x, float y, int i, int j) {
                if (y < t.da || y >= t.a)
                    return;
                const float raggio
                    = t.raggioDa + (t.raggioA - t.raggioDa) * (y - t.da) / (t.a - t.da);
                const float dx = x - Asse;
                if (dx * dx < raggio * raggio)
                    alza(r, i, j, 2.0f + std::sqrt(raggio * raggio - dx * dx));
            });
    }
}

Rilievo scolpisci()
{
    Rilievo testa;
    volto(testa);
    Rilievo busto;
    zoccolo(busto);
    torso(busto);
    panneggio(busto);
    for (size_t k = 0; k < busto.z.size(); ++k)
        busto.z[k] = std::max(busto.z[k], testa.z[k]);
    capelli(busto);
    barba(busto, testa);
    return busto;
}

// --- Light -------------------------------------------------------------------------------

struct Luce {
    float x = -0.5f;
    float y = -0.62f;
    float z = 0.6f;
};

// The height with the empty background at zero, clamped at the border.
float altezza(const Rilievo& r, int i, int j)
{
    const float z = r(std::clamp(i, 0, LatoFitto - 1), std::clamp(j, 0, LatoFitto - 1));
    return z > Vuoto ? z : 0.0f;
}

// How much of the light reaches a sample, softened near the edges of shadows.
float ombra(const Rilievo& r, int i, int j, const Luce& l)
{
    const float piano = std::sqrt(l.x * l.x + l.y * l.y);
    const float px = l.x / piano;
    const float py = l.y / piano;
    const float sale = l.z / piano / Fitto;
    float x = float(i);
    float y = float(j);
    float z = altezza(r, i, j);
    float luce = 1.0f;
    for (int passo = 1; passo < 70 * Fitto; ++passo) {
        x += px;
        y += py;
        z += sale;
        if (x < 0.0f || y < 0.0f || z > 60.0f)
            break;
        const float sopra = altezza(r, int(x), int(y)) - z;
        if (sopra > 0.0f)
            luce = std::min(luce, std::max(0.0f, 1.0f - sopra / 1.5f));
        if (luce <= 0.0f)
            break;
    }
    return luce;
}

// One pass of a box blur, along the rows or along the columns.
std::vector<float> sfoca(const std::vector<float>& a, int raggio, bool lungoLeRighe)
{
    std::vector<float> b(a.size());
    for (int j = 0; j < LatoFitto; ++j) {
        for (int i = 0; i < LatoFitto; ++i) {
            float somma = 0.0f;
            for (int k = -raggio; k <= raggio; ++k) {
                const int ii = lungoLeRighe ? std::clamp(i + k, 0, LatoFitto - 1) : i;
                const int jj = lungoLeRighe ? j : std::clamp(j + k, 0, LatoFitto - 1);
                somma += a[size_t(jj) * LatoFitto + size_t(ii)];
            }
            b[size_t(j) * LatoFitto + size_t(i)] = somma / float(2 * raggio + 1);
        }
    }
    return b;
}

// The heights smoothed by three box blurs each way, close to a Gaussian: the shape of the
// surroundings, above which a point stands out and below which it lies in a hollow.
std::vector<float> dintorni(const Rilievo& r, int raggio)
{
    std::vector<float> a(r.z.size());
    for (int j = 0; j < LatoFitto; ++j) {
        for (int i = 0; i < LatoFitto; ++i)
            a[size_t(j) * LatoFitto + size_t(i)] = altezza(r, i, j);
    }
    for (int passata = 0; passata < 3; ++passata)
        a = sfoca(sfoca(a, raggio, true), raggio, false);
    return a;
}

// Brightness of every sample between 0 and 1; only samples with marble matter.
std::vector<float> illumina(const Rilievo& r)
{
    Luce l;
    const float n = std::sqrt(l.x * l.x + l.y * l.y + l.z * l.z);
    l = { l.x / n, l.y / n, l.z / n };
    const std::vector<float> intorno = dintorni(r, 5);
    std::vector<float> chiaro(r.z.size(), 0.0f);
    for (int j = 0; j < LatoFitto; ++j) {
        for (int i = 0; i < LatoFitto; ++i) {
            if (!r.pieno(i, j))
                continue;
            const float gx = (altezza(r, i + 1, j) - altezza(r, i - 1, j)) * Fitto / 2.0f;
            const float gy = (altezza(r, i, j + 1) - altezza(r, i, j - 1)) * Fitto / 2.0f;
            const float lung = std::sqrt(gx * gx + gy * gy + 1.0f);
            const float diffusa = std::max(0.0f, (-gx * l.x - gy * l.y + l.z) / lung);
            const size_t k = size_t(j) * LatoFitto + size_t(i);
            const float cavo = std::clamp(0.5f + (r.z[k] - intorno[k]) / 6.0f, 0.0f, 1.0f);
            const float luce = diffusa * ombra(r, i, j, l);
            // Surfaces that turn away from the viewer darken, which keeps the outline
            // visible on a pale background.
            const float fronte = 0.45f + 0.55f / lung;
            chiaro[k] = std::clamp((0.16f + 0.24f * cavo) * fronte + 0.7f * luce, 0.0f, 1.0f);
        }
    }
    return chiaro;
}

// --- Colour ------------------------------------------------------------------------------

constexpr int Toni = 240;

// Marble from deep lavender shadows to a near-white light: always a little more blue and
// red than green, and never far from grey.
QRgb tono(int k)
{
    struct Tappa {
        float dove, r, g, b;
    };
    static const Tappa scala[] = {
        { 0.00f, 58, 52, 70 },
        { 0.35f, 122, 115, 136 },
        { 0.70f, 196, 191, 206 },
        { 1.00f, 247, 245, 250 },
    };
    const float s = float(k) / float(Toni - 1);
    int p = 0;
    while (p + 2 < int(std::size(scala)) && s > scala[p + 1].dove)
        ++p;
    const Tappa& a = scala[p];
    const Tappa& b = scala[p + 1];
    const float t = (s - a.dove) / (b.dove - a.dove);
    auto mescola = [t](float da, float a) { return int(da + (a - da) * t + 0.5f); };
    return qRgb(mescola(a.r, b.r), mescola(a.g, b.g), mescola(a.b, b.b));
}

} // namespace

QImage Busto(int scala)
{
    const Rilievo busto = scolpisci();
    const std::vector<float> chiaro = illumina(busto);
    const int lato = Lato * scala;
    QImage immagine(lato, lato, QImage::Format_ARGB32);
    immagine.fill(Qt::transparent);
    // The samples whose centres fall inside pixel k of a row or column: Fitto of them at
    // scale 1, fewer as the pixels get smaller.
    const auto primo = [scala](int k) { return (2 * k * Fitto + scala - 1) / (2 * scala); };
    for (int y = 0; y < lato; ++y) {
        for (int x = 0; x < lato; ++x) {
            int pieni = 0;
            int campioni = 0;
            float somma = 0.0f;
            for (int j = primo(y); j < primo(y + 1); ++j) {
                for (int i = primo(x); i < primo(x + 1); ++i) {
                    ++campioni;
                    if (busto.pieno(i, j)) {
                        ++pieni;
                        somma += chiaro[size_t(j) * LatoFitto + size_t(i)];
                    }
                }
            }
            // A pixel is marble when at least half of it is; its colour then comes from its
            // marble samples alone, so no background bleeds into the outline.
            if (pieni > 0 && 2 * pieni >= campioni) {
                const int k = int(somma / float(pieni) * float(Toni - 1) + 0.5f);
                immagine.setPixel(x, y, tono(k));
            }
        }
    }
    return immagine;
}
