// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Module */
/* exported Idrovela */
// The page's side of the program: the few things that only the page can do, called by the
// program (web/Form1.cpp) or calling it, gathered from the page's scripts into this one object.
// While a message box is open nothing reaches the program, which is waiting for the box inside a
// call.
const Idrovela = {
    byte: {}, // the resource table, "bitmap/101" and "CUSTOM/101": the stored bytes
    url: {}, // the picture each control shows, as a blob: URL that the control owns
    numero: {}, // the bitmap each control shows, drawn anew when the screen's scale changes
    occupato: false, // a box is open
    terminato: false,
    pronto: false,
    audio: null,
    sorgente: null, // the sound that plays
    intervallo: 0,
    posti: [], // the places of the focus, by the program's numbers

    el(id) {
        return document.getElementById(id);
    },

    // The program's answer; undefined while it cannot be called.
    chiama(nome, ...argomenti) {
        if (!this.pronto || this.occupato || this.terminato) return undefined;
        return Module["_" + nome](...argomenti);
    },

    // What one event has to say is said at once, in one announcement: a second change of the
    // live region within the same event would cut the first short.
    daAnnunciare: [],

    annuncia(testo) {
        if (!this.daAnnunciare.length)
            queueMicrotask(() => {
                const zona = this.el("annunci");
                const frase = this.daAnnunciare.join(". ");
                this.daAnnunciare = [];
                zona.textContent = zona.textContent === frase ? frase + "\u00a0" : frase;
            });
        this.daAnnunciare.push(testo);
    },

    // A run starts or ends: the focus goes where the program says, unless a box holds it; where
    // it stays at the end, the pupil hears that "OK" can be pressed again.
    abilitaOk(abilitato, dove, avviso) {
        const ok = this.el("Command1");
        const libero = !this.occupato;
        if (dove === "imgContenitore" && libero) {
            this.el(dove).tabIndex = -1;
            this.el(dove).focus();
        }
        if (abilitato && ok.disabled && (dove !== "Command1" || !libero)) this.annuncia(avviso);
        ok.disabled = !abilitato;
        if (dove === "Command1" && libero) ok.focus();
    },

    timer(attivo) {
        if (attivo && !this.intervallo)
            this.intervallo = setInterval(() => this.chiama("tmrDiscesa_Timer"), 30);
        else if (!attivo && this.intervallo) {
            clearInterval(this.intervallo);
            this.intervallo = 0;
        }
    },

    // The chosen option of each group is described by its density, which a screen reader reads
    // with it, in browse mode too; but not at once while it has the focus that chose it, where
    // the choice itself says the density: only from the next time the focus comes to it.
    descriviScelte(fuocoNuovo) {
        for (const [gruppo, densita] of [
            ["Option1", "lblPSLiquido"],
            ["Option2", "lblPSMateriale"],
        ])
            for (const opzione of document.querySelectorAll(`input[name=${gruppo}]`)) {
                if (opzione === document.activeElement && opzione !== fuocoNuovo) continue;
                // Only what changes is touched: a reader reading the page moves the focus from
                // option to option, and a group whose options change under it loses its place.
                const descritta = opzione.checked && this.el(densita).textContent;
                if (descritta && opzione.getAttribute("aria-describedby") !== densita)
                    opzione.setAttribute("aria-describedby", densita);
                else if (!descritta && opzione.hasAttribute("aria-describedby"))
                    opzione.removeAttribute("aria-describedby");
            }
    },

    termina() {
        this.terminato = true;
        this.timer(false);
        this.ferma();
        try {
            if (this.audio) this.audio.close();
        } catch {}
        window.removeEventListener("beforeunload", this.chiediUscita);
        this.el("form1").remove();
        this.el("fine").hidden = false;
        this.annuncia(this.el("fine").textContent); // read at once, as the box that asked closes
        // Only an installed app's window may be closed by the page itself.
        if (matchMedia("(display-mode: standalone)").matches) window.close();
    },

    chiediUscita(evento) {
        evento.preventDefault();
        evento.returnValue = "";
    },
};
