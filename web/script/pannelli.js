// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Idrovela */
// The two panels that open over the window, each closed by its arrow, and where the focus goes
// as they open and close.
Object.assign(Idrovela, {
    frecceAperte() {
        return [
            ["Frame4", "Image1"],
            ["Frame3", "Command3"],
        ]
            .filter(([pannello]) => !this.el(pannello).hidden)
            .map(([, freccia]) => this.el(freccia));
    },

    // An open panel is a sheet for the keyboard: the focus goes to its arrow, Tab goes round
    // the open panels' arrows, and closing it gives the focus back to where it was.
    apriPannello(pannello, freccia, testo) {
        const riquadro = this.el(pannello);
        if (!riquadro.hidden) return;
        this.fuocoPrima.set(pannello, this.ultimoFuoco);
        riquadro.hidden = false;
        this.el(freccia).focus();
        this.annuncia(testo);
    },

    chiudiPannello(pannello) {
        const riquadro = this.el(pannello);
        if (riquadro.hidden) return;
        const fuocoDentro =
            riquadro.contains(document.activeElement) || document.activeElement === document.body;
        const prima = this.fuocoPrima.get(pannello);
        this.fuocoPrima.delete(pannello);
        for (const [altro, dove] of this.fuocoPrima)
            if (dove && riquadro.contains(dove)) this.fuocoPrima.set(altro, prima);
        riquadro.hidden = true;
        for (const lascia of this.lasciaFrecce) lascia();
        if (!fuocoDentro) return;
        const frecce = this.frecceAperte();
        // Straight there: a hidden panel's arrow is still known to the reader when the focus
        // leaves it, unlike a closed box's button.
        if (frecce.length && !(prima && frecce.includes(prima))) frecce[0].focus();
        else if (prima && prima.isConnected && !prima.disabled && prima.offsetParent) prima.focus();
        else this.rifugio().focus();
    },

    // Where the focus goes when where it was is gone: "OK", or else the chosen liquid.
    rifugio() {
        const ok = this.el("Command1");
        return ok.disabled
            ? document.querySelector("input[name=Option1]:checked") ||
                  document.querySelector("input[name=Option1]")
            : ok;
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
