// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Adatta, Idrovela */
// The message box, modal by the page's own hand, over the middle of the window.
Object.assign(Idrovela, {
    // The box waits for the pupil; the promise gives 1 for OK or "Sì", 0 for "No". It is modal
    // by the page's own hand (see collegaBox), not by showModal(): the window made inert under a
    // modal dialog comes back to a screen reader in pieces, with groups it can no longer read
    // through.
    msgBox(testo, titolo, domanda) {
        const box = this.el("msgbox");
        this.occupato = true;
        this.el("msgTitolo").textContent = titolo;
        this.el("msgTesto").textContent = testo;
        this.el("msgIcona").hidden = !domanda;
        this.el("msgOk").hidden = domanda;
        this.el("msgSi").hidden = this.el("msgNo").hidden = !domanda;
        // A dialog, not an alert, for the question too: a screen reader presents an alert once
        // as it appears and again as the focus enters it. The text is the description of the
        // button that has the focus, which is read however the focus got there.
        box.setAttribute("role", "dialog");
        box.returnValue = "";
        // Nothing said before the box is said again after it.
        this.daAnnunciare = [];
        this.el("annunci").textContent = "";
        for (const lascia of this.lasciaFrecce) lascia();
        const prima = document.activeElement;
        return new Promise(risolvi => {
            box.addEventListener(
                "close",
                () => {
                    this.occupato = false;
                    this.el("form1").classList.remove("sotto");
                    // Back where it was when the box opened, where the browser has not put it back
                    // itself; a run that waits to end then moves it on to "OK".
                    const dentro = this.el("form1").contains(document.activeElement);
                    if (!dentro && prima && prima.isConnected) prima.focus();
                    // Escape says OK to a message and "No" to the question.
                    risolvi(box.returnValue === "1" ? 1 : domanda ? 0 : 1);
                },
                { once: true },
            );
            this.el("form1").classList.add("sotto");
            box.show();
            this.centra(box);
            (domanda ? this.el("msgSi") : this.el("msgOk")).focus();
        });
    },

    // The box's own place is zoomed with it, where the browser zooms; else it is transformed.
    // WebKit measures a zoomed element in its own unzoomed pixels, the others in the page's.
    // Measured from the corner, where its text has the whole width to wrap in.
    centra(box) {
        box.style.left = box.style.top = "0";
        const zoom = CSS.supports("zoom", "2") ? Adatta.scala : 1;
        const pagina =
            (Adatta.scala * Adatta.larghezza) / this.el("form1").getBoundingClientRect().width;
        const finestra = this.el("finestra").getBoundingClientRect();
        const b = box.getBoundingClientRect();
        const posto = (inizio, lato, misura, vista) =>
            Math.max(
                0,
                Math.min((inizio + (lato - misura) / 2) * pagina, vista - misura * pagina),
            ) /
                zoom +
            "px";
        box.style.left = posto(finestra.left, finestra.width, b.width, innerWidth);
        box.style.top = posto(finestra.top, finestra.height, b.height, innerHeight);
    },

    // While the box is open the window under it takes no pointer (the class "sotto"), the
    // focus does not leave the box, Tab goes round its buttons and Escape closes it.
    collegaBox() {
        const box = this.el("msgbox");
        const bottoni = () => Array.from(box.querySelectorAll("button:not([hidden])"));
        for (const bottone of box.querySelectorAll("button"))
            bottone.addEventListener("click", () => box.close(bottone.value));
        // On the document: a click on the box's text may have taken the focus off its buttons.
        document.addEventListener("keydown", e => {
            if (!box.open) return;
            if (e.key === "Escape") {
                box.close("");
            } else if (e.key === "Tab") {
                const b = bottoni();
                const qui = b.indexOf(document.activeElement);
                b[(qui + (e.shiftKey ? b.length - 1 : 1)) % b.length].focus();
            } else {
                return;
            }
            e.preventDefault();
        });
        document.addEventListener("focusin", e => {
            if (box.open && !box.contains(e.target)) bottoni()[0].focus();
        });
    },
});
