// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
/* global Idrovela */
// The menu bar: File, with "Idrovela" and "Esci", and "?", by pointer and by keys.
// What a key does in the menus, from the bar's item that has the focus (0 "File", 1 "?") or the
// open menu's (0 "Idrovela", 1 "Esci"), -1 for neither: out of the menus ("fuori"), to the bar's
// item dove ("barra"), to the menu's item dove ("voce"), or into the menu ("apri"); suo where
// the key is the menus' alone. Nothing for a key that the menus leave to the page.
const TastiDelMenu = {
    passo(tasto, inBarra, inMenu) {
        const suo = true;
        const suVoGiu = tasto === "ArrowDown" || tasto === "ArrowUp";
        if (tasto === "Escape")
            return inMenu >= 0 ? { fai: "barra", dove: 0, suo } : { fai: "fuori", suo };
        if (tasto === "ArrowRight" || tasto === "ArrowLeft")
            return { fai: "barra", dove: (Math.max(inBarra, 0) + 1) % 2, suo };
        if (inMenu >= 0 && suVoGiu) return { fai: "voce", dove: (inMenu + 1) % 2, suo };
        if (inBarra === 0 && suVoGiu) return { fai: "apri", suo };
        if (tasto === "Tab") return { fai: "fuori", suo: false };
        return null;
    },
};

Object.assign(Idrovela, {
    collegaMenu() {
        const barra = [this.el("mnfile"), this.el("mninfo")];
        const voci = [this.el("mnprince"), this.el("mnexit")];
        const menu = this.el("menuFile");
        let daDove = null;
        const apri = primo => {
            menu.hidden = false;
            barra[0].setAttribute("aria-expanded", "true");
            if (primo) voci[0].focus();
        };
        const chiudi = () => {
            menu.hidden = true;
            barra[0].setAttribute("aria-expanded", "false");
        };
        const esci = () => {
            chiudi();
            const dove = daDove;
            daDove = null;
            if (dove && dove.isConnected && !dove.disabled) dove.focus();
            else document.activeElement.blur();
        };
        const entra = voce => {
            if (!barra.includes(document.activeElement) && !voci.includes(document.activeElement))
                daDove = document.activeElement;
            voce.focus();
        };
        this.entraNelMenu = () => entra(barra[0]);
        this.esciDalMenu = esci;
        barra[0].addEventListener("click", () => {
            if (menu.hidden) {
                entra(barra[0]);
                apri(false);
            } else {
                esci();
            }
        });
        const comando = nome => () => {
            esci();
            this.chiama(nome);
        };
        barra[1].addEventListener("click", comando("mninfo_Click"));
        voci[0].addEventListener("click", comando("mnprince_Click"));
        voci[1].addEventListener("click", comando("mnexit_Click"));
        document.getElementById("barra").addEventListener("keydown", e => {
            const qui = document.activeElement;
            const passo = TastiDelMenu.passo(e.key, barra.indexOf(qui), voci.indexOf(qui));
            if (!passo) return;
            if (passo.fai === "fuori") {
                esci();
            } else if (passo.fai === "barra") {
                chiudi();
                barra[passo.dove].focus();
            } else if (passo.fai === "voce") {
                voci[passo.dove].focus();
            } else {
                apri(true);
            }
            if (passo.suo) {
                e.preventDefault();
                e.stopPropagation();
            }
        });
        addEventListener("pointerdown", e => {
            if (!menu.hidden && !document.getElementById("barra").contains(e.target)) chiudi();
        });
        this.el("barra").addEventListener("focusout", e => {
            if (!this.el("barra").contains(e.relatedTarget)) chiudi();
        });
    },
});

if (typeof module === "object") module.exports = TastiDelMenu;
