// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Adatta, Idrovela */
// The pictures: the program's bitmaps as blob: URLs, and the drawing at 1x, 2x or 3x that suits
// the screen for every picture.
Object.assign(Idrovela, {
    // A new picture for every load; the control lets go of the one it showed. The picture is
    // its only source, with its density, so that a drawing at 2x or 3x covers the design size
    // and no density of the markup's candidates lingers.
    bitmap(id, numero) {
        this.numero[id] = numero;
        let scala = Adatta.disegno();
        while (scala > 1 && !this.byte["bitmap/" + numero + "@" + scala + "x"]) --scala;
        const byte = this.byte["bitmap/" + numero + (scala > 1 ? "@" + scala + "x" : "")];
        const img = this.el(id);
        if (!byte || !img) return;
        const vecchio = this.url[id];
        const tipo = scala > 1 ? "image/png" : "image/bmp";
        this.url[id] = URL.createObjectURL(new Blob([byte], { type: tipo }));
        img.srcset = this.url[id] + " " + scala + "x";
        if (scala > 1) img.removeAttribute("src");
        else img.src = this.url[id];
        img.classList.remove("vuota");
        img.style.width = img.style.height = ""; // the picture's own size from now on
        if (vecchio) URL.revokeObjectURL(vecchio);
    },
});

// The window's own pictures and the design tank carry their drawings at 2x and 3x beside
// them: the one that suits the screen becomes the picture's only source, with its density,
// before the first paint, and again whenever the scale calls for another drawing; so do the
// bitmaps the program loaded. (A srcset listing them all would let Chromium take the largest,
// which it holds decoded already, even on a screen of one pixel per pixel.)
const mostraDisegni = () => {
    const scala = Adatta.disegno();
    if (scala === mostraDisegni.scala) return;
    mostraDisegni.scala = scala;
    for (const img of document.querySelectorAll("img[data-src2x]")) {
        if (img.id in Idrovela.numero) continue;
        img.dataset.src1x = img.dataset.src1x || img.getAttribute("src");
        if (scala > 1) {
            img.srcset = img.dataset["src" + scala + "x"] + " " + scala + "x";
            img.removeAttribute("src");
        } else {
            img.removeAttribute("srcset");
            img.src = img.dataset.src1x;
        }
    }
    for (const id in Idrovela.numero) Idrovela.bitmap(id, Idrovela.numero[id]);
};
mostraDisegni();
Adatta.seguito.push(mostraDisegni);
