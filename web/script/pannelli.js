// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Idrovela */
// The two panels that open over the window, each closed by its arrow, and where the focus goes
// as they open and close.
Object.assign(Idrovela, {
    // An open panel is a sheet for the keyboard: the focus goes to its arrow, Tab goes round
    // the open panels' arrows, and closing it gives the focus to where the program says.
    apriPannello(pannello, freccia, testo) {
        const riquadro = this.el(pannello);
        if (!riquadro.hidden) return;
        riquadro.hidden = false;
        this.el(freccia).focus();
        this.annuncia(testo);
    },

    chiudiPannello(pannello, dove) {
        const riquadro = this.el(pannello);
        if (riquadro.hidden) return;
        const fuocoDentro =
            riquadro.contains(document.activeElement) || document.activeElement === document.body;
        riquadro.hidden = true;
        for (const lascia of this.lasciaFrecce) lascia();
        // Straight there: a hidden panel's arrow is still known to the reader when the focus
        // leaves it, unlike a closed box's button.
        if (fuocoDentro) this.controlloDi(dove).focus();
    },

    // A group takes the focus on its chosen button, or on its first.
    controlloDi(posto) {
        if (posto === "Option1" || posto === "Option2")
            return (
                document.querySelector(`input[name=${posto}]:checked`) ||
                document.querySelector(`input[name=${posto}]`)
            );
        return this.el(posto);
    },

    // Where the focus is, as the program names its places: 0 for none of them.
    postoDi(elemento) {
        const nome = elemento.type === "radio" ? elemento.name : elemento.id;
        return Math.max(0, this.posti.indexOf(nome));
    },

    lasciaFrecce: [], // a box that opens takes whatever held the arrows,

    collegaFrecce() {
        for (const [id, clic] of [
            ["Command3", "Command3_Click"],
            ["Image1", "Image1_Click"],
        ]) {
            const freccia = this.el(id);
            let mouse = false,
                tasto = false;
            const aspetto = () => freccia.classList.toggle("premuto", mouse || tasto);
            this.lasciaFrecce.push(() => {
                mouse = tasto = false;
                aspetto();
            });
            freccia.addEventListener("pointerdown", e => {
                mouse = true;
                aspetto();
                try {
                    freccia.setPointerCapture(e.pointerId);
                } catch {}
            });
            // Wherever the pointer lets go: it may no longer be over the arrow, or held by it.
            const lascia = () => {
                mouse = false;
                aspetto();
            };
            for (const fine of ["pointerup", "pointercancel"]) addEventListener(fine, lascia, true);
            freccia.addEventListener("lostpointercapture", lascia);
            freccia.addEventListener("keydown", e => {
                if (e.key === " " || e.key === "Enter") {
                    tasto = true;
                    aspetto();
                }
            });
            // Wherever the key is let go: Return closes the panel, and the focus with it, before.
            document.addEventListener(
                "keyup",
                e => {
                    if (e.key === " " || e.key === "Enter") {
                        tasto = false;
                        aspetto();
                    }
                },
                true,
            );
            freccia.addEventListener("blur", () => {
                tasto = false;
                aspetto();
            });
            freccia.addEventListener("contextmenu", e => e.preventDefault());
            freccia.addEventListener("click", () => this.chiama(clic));
        }
    },
});
