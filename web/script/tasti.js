// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Idrovela */
// The window's keys: F10 and Alt into the menus, Escape, Tab round the open panels' arrows.
Object.assign(Idrovela, {
    collegaTastiera() {
        let soloAlt = false;
        document.addEventListener("keydown", e => {
            if (this.occupato || this.terminato) return;
            soloAlt = e.key === "Alt";
            const nelMenu = this.el("barra").contains(document.activeElement);
            // F10 goes into the menus and out again, as on the desktop.
            if (e.key === "F10" || (e.key === "Escape" && nelMenu)) {
                e.preventDefault();
                if (!nelMenu) this.entraNelMenu();
                else if (e.key === "F10") this.esciDalMenu();
                return;
            }
            if (nelMenu) return;
            if (e.key === "Escape") {
                this.chiama("Form_Escape");
            } else if (e.key === "Tab") {
                const qui = this.postoDi(document.activeElement || document.body);
                const dove = this.posti[this.chiama("Tab", qui, e.shiftKey ? 0 : 1)];
                if (!dove) return;
                e.preventDefault();
                this.controlloDi(dove).focus();
            }
        });
        document.addEventListener("keyup", e => {
            if (e.key === "Alt" && soloAlt && !this.occupato && !this.terminato) {
                e.preventDefault();
                if (this.el("barra").contains(document.activeElement)) this.el("mnfile").focus();
                else this.entraNelMenu();
            }
            soloAlt = false;
        });
        document.addEventListener("focusin", e => {
            if (this.terminato) return;
            if (this.el("finestra").contains(e.target))
                this.chiama("FuocoA", this.postoDi(e.target));
            this.descriviScelte(e.target);
        });
    },
});
