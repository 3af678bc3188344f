// SPDX-License-Identifier: GPL-3.0-or-later
// The page's scripts that need no page, in Node: the window's fit and the drawing it shows,
// the menus' keys.
//   node --test tests/web/prova_script.js
"use strict";
const assert = require("node:assert/strict");
const path = require("node:path");
const { test } = require("node:test");

const script = path.join(__dirname, "..", "..", "web", "script");
const Adatta = require(path.join(script, "adatta.js"));
globalThis.Idrovela = {};
const TastiDelMenu = require(path.join(script, "menu.js"));

test("the window fills the screens of a classroom, never below half its size", () => {
    Adatta.larghezza = 474;
    Adatta.altezza = 420;
    const schermi = [
        ["design size", 474, 420],
        ["tablet held upright", 768, 1024],
        ["tablet held sideways", 1024, 768],
        ["Chromebook", 1366, 768],
        ["Chromebook at 200 %", 683, 384],
        ["1080p board", 1920, 1080],
        ["small", 300, 300],
        ["smaller than half", 200, 150],
    ];
    for (const passo of [0, 64]) {
        Adatta.passo = passo;
        for (const [nome, larghezza, altezza] of schermi) {
            const { scala, scorre } = Adatta.fattore(larghezza, altezza);
            const qui = `${nome}, steps of ${passo}: ${scala}`;
            const sta = s => 474 * s <= larghezza + 1e-9 && 420 * s <= altezza + 1e-9;
            assert.equal(scorre, !sta(0.5), qui);
            if (scorre) {
                assert.equal(scala, 0.5, qui);
                continue;
            }
            // The largest that fits: in whole steps where the engine rounds to them.
            assert.ok(sta(scala) && !sta(scala + (passo ? 1 / passo : 1e-6)), qui);
            if (passo) assert.equal(scala * passo, Math.round(scala * passo), qui);
        }
    }
    Adatta.passo = 0;
    assert.equal(Adatta.fattore(474, 420).scala, 1);
    assert.equal(Adatta.fattore(948, 1000).scala, 2);
});

test("the drawing at 1x, 2x or 3x for the device pixels, sharp only at whole factors", () => {
    const casi = [
        // device pixels per design pixel, drawing, sharp
        [0.5, 1, false],
        [1, 1, true],
        [1.004, 1, true],
        [1.25, 2, false],
        [1.5, 2, false],
        [2, 2, true],
        [2.5, 3, false],
        [3, 3, true],
        [4, 3, false],
        [6, 3, true],
    ];
    for (const [pixel, disegno, nitido] of casi)
        assert.deepEqual(Adatta.scelta(pixel), { disegno, nitido }, `${pixel} device pixels`);
});

test("the menus' keys", () => {
    const F = 0,
        INFO = 1,
        IDROVELA = 0,
        ESCI = 1,
        FUORI = -1;
    const casi = [
        // key, bar's item, menu's item, step
        ["Escape", FUORI, ESCI, { fai: "barra", dove: F, suo: true }],
        ["Escape", INFO, FUORI, { fai: "fuori", suo: true }],
        ["ArrowRight", F, FUORI, { fai: "barra", dove: INFO, suo: true }],
        ["ArrowLeft", INFO, FUORI, { fai: "barra", dove: F, suo: true }],
        ["ArrowRight", FUORI, IDROVELA, { fai: "barra", dove: INFO, suo: true }],
        ["ArrowDown", FUORI, IDROVELA, { fai: "voce", dove: ESCI, suo: true }],
        ["ArrowUp", FUORI, IDROVELA, { fai: "voce", dove: ESCI, suo: true }],
        ["ArrowDown", F, FUORI, { fai: "apri", suo: true }],
        ["ArrowDown", INFO, FUORI, null],
        ["Tab", FUORI, ESCI, { fai: "fuori", suo: false }],
        ["Enter", F, FUORI, null],
        ["a", FUORI, IDROVELA, null],
    ];
    for (const [tasto, inBarra, inMenu, passo] of casi)
        assert.deepEqual(
            TastiDelMenu.passo(tasto, inBarra, inMenu),
            passo,
            `${tasto} ${inBarra} ${inMenu}`,
        );
});
