// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Adatta, CreaIdrovela, Idrovela, Inflater, Module, RISORSE, troppoVecchio */
// The start: the resources unpacked after the first paint, then the program, which wires the
// page to itself through collega.
Object.assign(Idrovela, {
    async sgonfia(base64) {
        const binario = atob(base64);
        const byte = new Uint8Array(binario.length);
        for (let i = 0; i < binario.length; ++i) byte[i] = binario.charCodeAt(i);
        if (typeof DecompressionStream === "undefined") return Inflater.gunzip(byte);
        const flusso = new Blob([byte]).stream().pipeThrough(new DecompressionStream("gzip"));
        return new Uint8Array(await new Response(flusso).arrayBuffer());
    },

    // The window is painted from the markup alone; only after that first frame are the
    // resources unpacked and the program started, so that none of it holds the paint back.
    // Until then the window takes no click or key, so that no choice lands on a control that the
    // program does not yet follow; it is not inert, so that a screen reader finds it at once.
    avvia() {
        const fallito = () => {
            if (!this.pronto) troppoVecchio();
        };
        Module.onAbort = fallito;
        new Promise(fatto => requestAnimationFrame(() => setTimeout(fatto)))
            .then(() =>
                Promise.all(
                    Object.entries(RISORSE).map(async ([nome, dati]) => {
                        this.byte[nome] = await this.sgonfia(dati);
                    }),
                ),
            )
            .then(() => CreaIdrovela(Module))
            .catch(fallito);
    },

    // Called by the program once it has started.
    collega() {
        for (const gruppo of ["Option1", "Option2"])
            for (const opzione of document.querySelectorAll(`input[name=${gruppo}]`))
                opzione.addEventListener("click", () => {
                    if (opzione.checked) this.chiama(gruppo + "_Click", Number(opzione.value));
                    this.descriviScelte(null);
                });
        this.el("Command1").addEventListener("click", () => this.chiama("Command1_Click"));
        this.collegaFrecce();
        this.collegaMenu();
        this.collegaTastiera();
        this.collegaBox();
        Adatta.seguito.push(() => {
            if (this.el("msgbox").open) this.centra(this.el("msgbox"));
        });
        window.addEventListener("beforeunload", this.chiediUscita);
        this.pronto = true;
        this.el("form1").classList.remove("attesa");
        this.el("Option1_0").querySelector("input").focus();
    },
});

for (const gesto of ["keydown", "click"])
    addEventListener(
        gesto,
        evento => {
            const form1 = Idrovela.el("form1");
            if (!Idrovela.pronto && evento.key !== "Tab" && form1 && form1.contains(evento.target))
                evento.preventDefault();
        },
        { capture: true },
    );
