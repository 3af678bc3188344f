// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
// The window fills the viewport: the largest size with the design's proportions, centred, never
// below half its design size (the page scrolls then). One factor, --scala, zooms the window and
// its message box; the browser lays out and draws the text at that size, so it stays as sharp
// as any text on the screen. Set before the first paint, and again whenever the viewport
// changes (resizing, rotation, browser zoom, full screen, another screen).
const Adatta = {
    larghezza: 0, // the window at its design size: the client area, with the menu bar
    altezza: 0,
    scala: 1,
    seguito: [], // what else follows the window's size: a message box that is open
    passo: 0, // the steps in which the browser zooms, where it rounds the zoom

    // The factor for a viewport, and whether the page scrolls at it.
    fattore(vistaLarghezza, vistaAltezza) {
        const scala = Math.min(vistaLarghezza / this.larghezza, vistaAltezza / this.altezza);
        return {
            scala: Math.max(0.5, this.passo ? Math.floor(scala * this.passo) / this.passo : scala),
            scorre: scala < 0.5,
        };
    },

    calcola() {
        const radice = document.documentElement;
        const { scala, scorre } = this.fattore(radice.clientWidth, innerHeight);
        this.scala = scala;
        radice.style.setProperty("--scala", scala);
        radice.classList.toggle("scorre", scorre);
        radice.classList.toggle("nitido", this.scelta(this.pixel()).nitido);
        for (const segui of this.seguito) segui();
    },

    // Device pixels per design pixel: the window's own factor times the screen's.
    pixel() {
        return this.scala * (window.devicePixelRatio || 1);
    },

    // Every picture is drawn at 1x, 2x and 3x: the smallest drawing at least as large as the
    // screen shows it, or the largest, is shown, scaled by what remains. Whole device pixels
    // per pixel of the drawing shown keep its pixels sharp and even; between whole factors a
    // line one or two pixels thick by turns looks worse than a smoothed one.
    scelta(pixel) {
        const disegno = Math.min(3, Math.max(1, Math.ceil(pixel - 0.01)));
        const resto = pixel / disegno;
        return { disegno, nitido: Math.abs(resto - Math.round(resto)) < 0.005 };
    },

    disegno() {
        return this.scelta(this.pixel()).disegno;
    },

    // Some engines (Firefox 140 among them) round a zoom to the nearest 64th, which can make the
    // window a few pixels wider than the screen: there the factor is rounded down to a 64th. A
    // zoom of 1.62 shows 100 pixels as 162, or as 162.5 where it is rounded.
    avvia(larghezza, altezza) {
        this.larghezza = larghezza;
        this.altezza = altezza;
        const sonda = document.createElement("div");
        sonda.style.cssText = "position: absolute; zoom: 1.62; width: 100px";
        document.documentElement.append(sonda);
        this.passo = Math.abs(sonda.getBoundingClientRect().width - 162.5) < 0.05 ? 64 : 0;
        sonda.remove();
        this.calcola();
        addEventListener("resize", () => this.calcola());
        // A move to a screen of another density changes no size, so it raises no resize.
        const seguiDensita = () =>
            matchMedia(`(resolution: ${devicePixelRatio}dppx)`).addEventListener(
                "change",
                () => {
                    this.calcola();
                    seguiDensita();
                },
                { once: true },
            );
        seguiDensita();
    },
};

if (typeof module === "object") module.exports = Adatta;
