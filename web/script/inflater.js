// SPDX-License-Identifier: GPL-3.0-or-later
"use strict";
// The browser's own inflater is missing before Safari 16.4 and Firefox 113: DEFLATE by hand, as
// its format defines it, for the gzip members that the page's writer made. Every read is checked
// against the end of the input and every write against the size declared, so that a member cut
// short or damaged ends in an error, never in a loop or in bytes that were not there.
const Inflater = (() => {
    const guasto = testo => new Error("inflate: " + testo);

    // A canonical Huffman code from its lengths: how many codes of each length, and the symbols
    // in code order. One that asks for more codes than its lengths hold is no code, nor is one
    // that leaves codes free, since a damaged length could then go unnoticed; but for a code of
    // a single one-bit symbol, or of none, which a stream with one distance or none may send.
    const codice = (lunghezze, conVuoti = true) => {
        const quanti = new Uint16Array(16);
        const inizio = new Uint16Array(16);
        const simboli = new Uint16Array(lunghezze.length);
        for (const l of lunghezze) ++quanti[l];
        quanti[0] = 0;
        let liberi = 1;
        for (let l = 1; l < 16; ++l) {
            liberi = liberi * 2 - quanti[l];
            if (liberi < 0) throw guasto("oversubscribed code");
            inizio[l] = inizio[l - 1] + quanti[l - 1];
        }
        const usati = inizio[15] + quanti[15];
        const ammesso = usati === 0 || (conVuoti && usati === 1 && quanti[1] === 1);
        if (liberi > 0 && !ammesso) throw guasto("incomplete code");
        lunghezze.forEach((l, s) => {
            if (l) simboli[inizio[l]++] = s;
        });
        return { quanti, simboli };
    };

    const basi = (n, piccoli, passo) => {
        const base = [];
        const extra = [];
        for (let i = 0, b = piccoli; i < n; ++i) {
            const e = i < passo * 2 ? 0 : Math.floor(i / passo) - 1;
            base.push(b);
            extra.push(e);
            b += 1 << e;
        }
        return [base, extra];
    };
    const [lBase, lExtra] = basi(28, 3, 4);
    const [dBase, dExtra] = basi(30, 1, 2);
    lBase.push(258);
    lExtra.push(0);
    let fisso = null;
    const ordine = [16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15];

    // The raw DEFLATE stream from byte[inizio], before byte[fine], that gives exactly dimensione
    // bytes.
    const inflate = (byte, inizio, dimensione, fine = byte.length) => {
        fisso = fisso || [
            codice(
                Array.from({ length: 288 }, (_, s) =>
                    s < 144 ? 8 : s < 256 ? 9 : s < 280 ? 7 : 8,
                ),
            ),
            // All 32 five-bit codes, though only 30 mean a distance.
            codice(Array(32).fill(5)),
        ];
        const uscita = new Uint8Array(dimensione);
        let p = inizio;
        let bit = 0;
        let nbit = 0;
        let o = 0;
        const leggi = n => {
            while (nbit < n) {
                if (p >= fine) throw guasto("truncated");
                bit |= byte[p++] << nbit;
                nbit += 8;
            }
            const valore = bit & ((1 << n) - 1);
            bit >>>= n;
            nbit -= n;
            return valore;
        };
        const simbolo = ({ quanti, simboli }) => {
            for (let l = 1, c = 0, primo = 0, indice = 0; l < 16; ++l) {
                c |= leggi(1);
                if (c - quanti[l] < primo) return simboli[indice + c - primo];
                indice += quanti[l];
                primo = (primo + quanti[l]) << 1;
                c <<= 1;
            }
            throw guasto("bad code");
        };
        const spazio = n => {
            if (o + n > dimensione) throw guasto("longer than declared");
        };
        let ultimo;
        do {
            ultimo = leggi(1);
            const tipo = leggi(2);
            if (tipo === 0) {
                bit = nbit = 0;
                if (p + 4 > fine) throw guasto("truncated");
                const n = byte[p] | (byte[p + 1] << 8);
                if ((n ^ (byte[p + 2] | (byte[p + 3] << 8))) !== 0xffff)
                    throw guasto("bad stored length");
                p += 4;
                if (p + n > fine) throw guasto("truncated");
                spazio(n);
                uscita.set(byte.subarray(p, p + n), o);
                o += n;
                p += n;
                continue;
            }
            let [lunghezze, distanze] = fisso;
            if (tipo === 2) {
                const nl = leggi(5) + 257;
                const nd = leggi(5) + 1;
                const nc = leggi(4) + 4;
                const l = Array(19).fill(0);
                for (let i = 0; i < nc; ++i) l[ordine[i]] = leggi(3);
                const c = codice(l, false);
                const tutte = [];
                while (tutte.length < nl + nd) {
                    const s = simbolo(c);
                    if (s < 16) {
                        tutte.push(s);
                        continue;
                    }
                    if (s === 16 && !tutte.length) throw guasto("nothing to repeat");
                    const ripetuta = s === 16 ? tutte[tutte.length - 1] : 0;
                    const volte = s === 16 ? 3 + leggi(2) : s === 17 ? 3 + leggi(3) : 11 + leggi(7);
                    if (tutte.length + volte > nl + nd) throw guasto("too many lengths");
                    for (let k = 0; k < volte; ++k) tutte.push(ripetuta);
                }
                if (!tutte[256]) throw guasto("no end of block");
                lunghezze = codice(tutte.slice(0, nl));
                distanze = codice(tutte.slice(nl, nl + nd));
            } else if (tipo !== 1) {
                throw guasto("bad block");
            }
            for (let s = simbolo(lunghezze); s !== 256; s = simbolo(lunghezze)) {
                if (s < 256) {
                    spazio(1);
                    uscita[o++] = s;
                    continue;
                }
                if (s > 285) throw guasto("bad length");
                const n = lBase[s - 257] + leggi(lExtra[s - 257]);
                const d = simbolo(distanze);
                if (d > 29) throw guasto("bad distance");
                const indietro = dBase[d] + leggi(dExtra[d]);
                if (indietro > o) throw guasto("distance too far back");
                spazio(n);
                for (let k = 0; k < n; ++k, ++o) uscita[o] = uscita[o - indietro];
            }
        } while (!ultimo);
        if (o !== dimensione) throw guasto("shorter than declared");
        return uscita;
    };

    let tabella = null;
    const crc32 = byte => {
        if (!tabella) {
            tabella = new Int32Array(256);
            for (let n = 0; n < 256; ++n) {
                let c = n;
                for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
                tabella[n] = c;
            }
        }
        let c = -1;
        for (const b of byte) c = tabella[(c ^ b) & 0xff] ^ (c >>> 8);
        return (c ^ -1) >>> 0;
    };

    // One gzip member: its header, its stream, and the size and CRC-32 it ends with.
    const gunzip = byte => {
        const fine = byte.length;
        if (fine < 18 || byte[0] !== 0x1f || byte[1] !== 0x8b || byte[2] !== 8)
            throw guasto("not a gzip member");
        const numero = p =>
            (byte[p] | (byte[p + 1] << 8) | (byte[p + 2] << 16) | (byte[p + 3] << 24)) >>> 0;
        const flag = byte[3];
        // Flags that no writer sets yet may mean fields this reader cannot skip.
        if (flag & 0xe0) throw guasto("reserved gzip flags");
        let p = 10;
        if (flag & 4) p += 2 + (byte[10] | (byte[11] << 8));
        for (const campo of [8, 16])
            if (flag & campo) {
                while (p < fine && byte[p]) ++p;
                ++p;
            }
        if (flag & 2) p += 2;
        const dimensione = numero(fine - 4);
        // No stream grows more than 1032 times its own size.
        if (p > fine - 8 || dimensione > (fine - 8 - p) * 1032)
            throw guasto("bad gzip header or size");
        const uscita = inflate(byte, p, dimensione, fine - 8);
        if (crc32(uscita) !== numero(fine - 8)) throw guasto("bad CRC-32");
        return uscita;
    };

    return { inflate, gunzip };
})();

if (typeof module === "object") module.exports = Inflater;
