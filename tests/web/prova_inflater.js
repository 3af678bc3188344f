// SPDX-License-Identifier: GPL-3.0-or-later
// The page's inflater, for browsers without their own, against zlib: its input back, every
// resource of the page, and damaged input refused as zlib refuses it.
//   node --test tests/web/prova_inflater.js
// IDROVELA_PAGINA names the built page, whose resource table is unpacked as the browser would.
// Prints the seed of its random inputs.
"use strict";
const assert = require("node:assert/strict");
const fs = require("node:fs");
const path = require("node:path");
const { test } = require("node:test");
const { Worker } = require("node:worker_threads");
const zlib = require("node:zlib");

const script = path.join(__dirname, "..", "..", "web", "script");
const Inflater = require(path.join(script, "inflater.js"));

const SEME = 20261210;
// mulberry32: the same numbers from the same seed on any machine.
const casuale = seme => () => {
    seme = (seme + 0x6d2b79f5) | 0;
    let t = Math.imul(seme ^ (seme >>> 15), 1 | seme);
    t = (t + Math.imul(t ^ (t >>> 7), 61 | t)) ^ t;
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
};

// Data that deflate codes in every way: noise, runs, text with repeats near and far.
const dati = (caso, n) => {
    const byte = new Uint8Array(n);
    const parole = ["acqua", "ferro", "legno", "ghiaccio", "rame", "olio", "mercurio", "alcol"];
    let i = 0;
    while (i < n) {
        const tipo = Math.floor(caso() * 4);
        const quanti = 1 + Math.floor(caso() * 300);
        for (let k = 0; k < quanti && i < n; ++k, ++i)
            byte[i] =
                tipo === 0
                    ? Math.floor(caso() * 256)
                    : tipo === 1
                      ? byte[Math.max(0, i - 1)]
                      : tipo === 2
                        ? parole[Math.floor(k / 8) % 8].charCodeAt(k % 5)
                        : byte[Math.floor(caso() * Math.max(1, i))];
    }
    return byte;
};

const grezzo = (byte, opzioni) => {
    const compresso = zlib.deflateRawSync(byte, opzioni);
    return Inflater.inflate(compresso, 0, byte.length);
};

test("the inflater gives zlib's input back", () => {
    const casi = [
        ["empty", new Uint8Array(0), {}],
        ["one byte", Uint8Array.of(0x2a), {}],
        ["stored", dati(casuale(1), 70000), { level: 0 }],
        ["fixed", dati(casuale(2), 20000), { strategy: zlib.constants.Z_FIXED }],
        ["dynamic", dati(casuale(3), 100000), { level: 9 }],
        ["runs only", new Uint8Array(50000).fill(7), { strategy: zlib.constants.Z_RLE }],
        ["Huffman only", dati(casuale(4), 30000), { strategy: zlib.constants.Z_HUFFMAN_ONLY }],
    ];
    for (const [nome, byte, opzioni] of casi) assert.deepEqual(grezzo(byte, opzioni), byte, nome);
    console.log(`random inputs from seed ${SEME}`);
    const caso = casuale(SEME);
    for (let i = 0; i < 60; ++i) {
        const byte = dati(caso, Math.floor(caso() * caso() * 200000));
        const opzioni = {
            level: Math.floor(caso() * 10),
            memLevel: 1 + Math.floor(caso() * 9),
        };
        assert.deepEqual(
            grezzo(byte, opzioni),
            byte,
            `random input ${i}, ${JSON.stringify(opzioni)}`,
        );
        assert.deepEqual(Inflater.gunzip(zlib.gzipSync(byte, opzioni)), byte, `gzip ${i}`);
    }
});

test("the inflater unpacks every resource of the page", () => {
    assert.ok(process.env.IDROVELA_PAGINA, "IDROVELA_PAGINA names no page");
    const pagina = fs.readFileSync(process.env.IDROVELA_PAGINA, "utf8");
    const tabella = JSON.parse(/const RISORSE = (\{[^}]*\});/.exec(pagina)[1]);
    const nomi = Object.keys(tabella);
    assert.ok(nomi.includes("bitmap/101") && nomi.includes("CUSTOM/101"), nomi.join());
    for (const nome of nomi) {
        const membro = Buffer.from(tabella[nome], "base64");
        assert.deepEqual(Inflater.gunzip(membro), new Uint8Array(zlib.gunzipSync(membro)), nome);
    }
});

// In a thread of its own, which a loop cannot keep from being stopped: every cut of a few members
// and every byte of them changed, each read checked against the input's end, and each outcome
// against zlib's own: an error where it finds one, its bytes where it reads them (a changed bit
// can make another stream of the same bytes: a match copied from two bytes back in a run).
const GUASTI = `
const { parentPort, workerData } = require("node:worker_threads");
const zlib = require("node:zlib");
const Inflater = require(workerData.inflater);
const esiti = { errori: 0, uguali: 0, sbagliati: [], oltre: [] };
const sorvegliato = (byte, nome) => new Proxy(byte, {
    get(b, chiave) {
        if (typeof chiave === "string" && /^[0-9]+$/.test(chiave) && Number(chiave) >= b.length)
            esiti.oltre.push(nome + " at " + chiave);
        const valore = Reflect.get(b, chiave);
        return typeof valore === "function" ? valore.bind(b) : valore;
    },
});
const prova = (byte, nome, atteso) => {
    let suoi = null;
    try {
        suoi = zlib.gunzipSync(byte);
    } catch {}
    let uscita;
    try {
        uscita = Inflater.gunzip(sorvegliato(byte, nome));
    } catch (errore) {
        if (!(errore instanceof Error) || !/^inflate: /.test(errore.message))
            esiti.sbagliati.push(nome + ": " + errore);
        else if (suoi) esiti.sbagliati.push(nome + ": " + errore.message + ", zlib reads it");
        ++esiti.errori;
        return;
    }
    if (!suoi) esiti.sbagliati.push(nome + ": no error, zlib finds one");
    else if (Buffer.compare(Buffer.from(uscita), suoi) !== 0)
        esiti.sbagliati.push(nome + ": not zlib's bytes");
    else esiti.uguali += Buffer.compare(suoi, atteso) === 0;
};
for (const [tipo, membro, atteso] of workerData.membri) {
    for (let n = 0; n < membro.length; ++n) prova(membro.subarray(0, n), tipo + " cut at " + n);
    for (let i = 0; i < membro.length; ++i)
        for (const x of [0x01, 0x80, 0xff]) {
            const guasto = Uint8Array.from(membro);
            guasto[i] ^= x;
            prova(guasto, tipo + " byte " + i + " ^ " + x, atteso);
        }
}
parentPort.postMessage(esiti);
`;

test("a cut or damaged member ends in an error, at once, as zlib finds it", async () => {
    const caso = casuale(SEME + 1);
    const membri = [
        ["stored", dati(caso, 300), { level: 0 }],
        ["fixed", dati(caso, 400), { strategy: zlib.constants.Z_FIXED }],
        ["dynamic", dati(caso, 3000), { level: 9 }],
    ].map(([tipo, byte, opzioni]) => [tipo, zlib.gzipSync(byte, opzioni), Buffer.from(byte)]);
    const lavoro = new Worker(GUASTI, {
        eval: true,
        workerData: { inflater: path.join(script, "inflater.js"), membri },
    });
    let scaduto;
    const esiti = await Promise.race([
        new Promise((fatto, fallito) => {
            lavoro.once("message", fatto);
            lavoro.once("error", fallito);
        }),
        new Promise(fatto => (scaduto = setTimeout(() => fatto(null), 120000))),
    ]);
    clearTimeout(scaduto);
    await lavoro.terminate();
    assert.ok(esiti, "the inflater did not end within 120 s: it loops");
    assert.deepEqual(esiti.oltre.slice(0, 5), [], "read past the input");
    assert.deepEqual(esiti.sbagliati.slice(0, 5), []);
    console.log(`${esiti.errori} errors, ${esiti.uguali} unchanged outputs`);
});

// Streams written bit by bit: a field's bits from the lowest, a Huffman code's as it reads.
const flusso = (...pezzi) => {
    const byte = [];
    let n = 0;
    const bit = b => {
        if (n % 8 === 0) byte.push(0);
        byte[byte.length - 1] |= b << n++ % 8;
    };
    for (const pezzo of pezzi)
        if (typeof pezzo === "string") for (const c of pezzo) bit(Number(c));
        else for (let i = 0; i < pezzo[1]; ++i) bit((pezzo[0] >> i) & 1);
    return Uint8Array.from(byte);
};

test("a code that leaves codes free is refused, as zlib refuses it", () => {
    // One dynamic block, the last, of 257 literal or length codes and one distance code, its
    // code-length codes given up to that of symbol 1: "A", then the end of the block.
    const blocco = (lunghezzeDeiCodici, codici) => {
        const ordine = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];
        return flusso(
            [1, 1],
            [2, 2],
            [0, 5],
            [0, 5],
            [14, 4],
            ...ordine.slice(0, 18).map(s => [lunghezzeDeiCodici[s] || 0, 3]),
            ...codici,
        );
    };
    // The code-length codes as the blocks below give them: 18, a run of zeros, then 1 and 2.
    const diciotto = "0";
    const lunghezza = { 1: "10", 2: "11" };
    const zeri = n => [diciotto, [n - 11, 7]];
    // Zeros up to "A", its length, zeros up to the end code, its length, the one distance.
    const lunghezze = (a, fine) => [
        ...zeri(65),
        lunghezza[a],
        ...zeri(138),
        ...zeri(52),
        lunghezza[fine],
        lunghezza[1],
    ];
    const casi = [
        // "A" and the end in one bit each: every code taken.
        ["complete", blocco({ 18: 1, 1: 2, 2: 2 }, [...lunghezze(1, 1), "0", "1"]), true],
        // "A" in two bits and the end in one: "11" free.
        [
            "literals with a code free",
            blocco({ 18: 1, 1: 2, 2: 2 }, [...lunghezze(2, 1), "10", "0"]),
            false,
        ],
        // The code-length code without symbol 2: "11" free.
        [
            "code lengths with a code free",
            blocco({ 18: 1, 1: 2 }, [...lunghezze(1, 1), "0", "1"]),
            false,
        ],
    ];
    const leggeZlib = byte => {
        try {
            return zlib.inflateRawSync(byte).equals(Buffer.of(65));
        } catch {
            return false;
        }
    };
    for (const [nome, byte, legge] of casi) {
        assert.equal(leggeZlib(byte), legge, `${nome}: zlib`);
        if (legge) assert.deepEqual(Inflater.inflate(byte, 0, 1), Uint8Array.of(65), nome);
        else assert.throws(() => Inflater.inflate(byte, 0, 1), /^Error: inflate: incomplete/, nome);
    }
});
