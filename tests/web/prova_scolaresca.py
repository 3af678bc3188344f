#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""A class of pupils on the browser program: random taps, clicks and keys anywhere on the
window (IDROVELA_INPUT of them, 10,000 unless told, from the seed IDROVELA_SEME, the same one
unless told, printed to replay it), with the window's invariants checked by the page after every
input and read after every input, and the console silent throughout. An ended program is
started again by reloading the page, once what it found has been read. What reached the page
is counted, and enough of it must have: clicks, keys, runs begun and ended, verdicts, answers to
the exit question."""
import math
import os
import random
import unittest

from prova_pagina import AVVIATA, URL, aspetta, browser, px, suona_dove_nessuno_registra

INPUT = int(os.environ.get("IDROVELA_INPUT", "10000"))
SEME = int(os.environ.get("IDROVELA_SEME", "20261210"))

# Checked after every input, once the page has handled it: a list of what is wrong.
INVARIANTI = """
window.guasti = [];
window.conteggi = {}; // what reached the program, to show what the pupils got to
const conta = nome => { conteggi[nome] = (conteggi[nome] || 0) + 1; };
addEventListener('click', e => { if (e.isTrusted) conta('clic'); }, true);
addEventListener('keydown', e => { if (e.isTrusted) conta('tasti'); }, true);
// The boxes as they open and close: verdicts shown, questions answered. The browser tells the
// page that a box has closed one task after it has, and only then does the program go on: until
// the check that follows that, a closed box and a program still busy with it are expected.
let titolo = '';
window.chiudendo = false;
new MutationObserver(() => {
    const box = document.getElementById('msgbox');
    if (box.open && !titolo) {
        titolo = document.getElementById('msgTitolo').textContent;
        if (/^Il corpo/.test(titolo))
            conta('verdetti');
    } else if (!box.open && titolo) {
        if (titolo === 'Uscita')
            conta('risposte');
        titolo = '';
        window.chiudendo = true;
    }
}).observe(document.getElementById('msgbox'), { attributes: true, attributeFilter: ['open'] });
document.getElementById('msgbox').addEventListener('close', () => setTimeout(() => {
    window.chiudendo = false;
    verifica('close');
}, 0));
const chiama = Idrovela.chiama.bind(Idrovela);
Idrovela.chiama = (nome, ...argomenti) => {
    if (Idrovela.pronto && !Idrovela.occupato && !Idrovela.terminato)
        conta(nome);
    return chiama(nome, ...argomenti);
};
const verifica = evento => setTimeout(() => {
    if (typeof Idrovela === 'undefined' || Idrovela.terminato)
        return;
    const el = id => document.getElementById(id);
    const guasto = testo => guasti.push(evento + ': ' + testo);
    const corpi = ['imgGhiaccio', 'imgFerro', 'imgRame', 'imgLegno'].filter(id => !el(id).hidden);
    if (corpi.length > 1)
        guasto('two bodies shown: ' + corpi);
    for (const id of corpi) {
        const top = parseInt(el(id).style.top);
        if (el(id).style.left !== '@LEFT@px' || top < @ALTO@ || top > @BASSO@)
            guasto(id + ' out of the tank: ' + el(id).style.left + ' ' + top);
    }
    if (el('Command1').disabled && document.activeElement === el('Command1'))
        guasto('a disabled OK has the focus');
    if (!el('Command1').disabled && !(el('lblPSLiquido').textContent
                                       && el('lblPSMateriale').textContent))
        guasto('OK is armed without both a liquid and a material');
    // Out of a run a body shows at the surface, and under "Il corpo affonda" on the floor. A
    // body that floats stays where its run left it.
    const verdetto = el('msgbox').open ? el('msgTitolo').textContent : '';
    const atteso = verdetto === 'Il corpo affonda' ? @FONDO@ : @ALTO@;
    for (const id of corpi)
        if (!Idrovela.intervallo && verdetto !== 'Il corpo galleggia'
                && parseInt(el(id).style.top) !== atteso)
            guasto(id + ' stands at ' + el(id).style.top + (verdetto ? ' under ' + verdetto : ''));
    if (el('msgbox').open !== Idrovela.occupato && !window.chiudendo)
        guasto('the box and the program disagree');
    if (el('msgbox').open && /^Il corpo/.test(el('msgTitolo').textContent) && Idrovela.intervallo)
        guasto('the timer runs under a verdict');
    for (const id of ['lblPSLiquido', 'lblPSMateriale'])
        if (!/^(|Densità ?= [0-9]+(,[0-9]+)?)$/.test(el(id).textContent))
            guasto(id + ' reads ' + el(id).textContent);
    if (!/^(blob|data):/.test(el('imgContenitore').src || el('imgContenitore').srcset)
            || el('imgContenitore').naturalWidth
            && el('imgContenitore').naturalWidth !== 287)
        guasto('the tank lost its picture');
    if (Object.keys(Idrovela.url).length > 3)
        guasto('pictures kept: ' + Object.keys(Idrovela.url));
    if (document.querySelector('.premuto') && !tenuti.size)
        guasto('an arrow looks pressed with nothing held: ' + document.querySelector('.premuto').id
               + (document.querySelector('.premuto').closest('[hidden]') ? ', hidden' : ''));
}, 0);
for (const tipo of ['pointerup', 'keyup', 'touchend'])
    addEventListener(tipo, () => verifica(tipo), true);
// What is held down when a check runs: the next input may come before it.
const tenuti = new Set();
addEventListener('pointerdown', e => tenuti.add('p' + e.pointerId), true);
for (const tipo of ['pointerup', 'pointercancel'])
    addEventListener(tipo, e => tenuti.delete('p' + e.pointerId), true);
addEventListener('keydown', e => tenuti.add(e.key), true);
addEventListener('keyup', e => tenuti.delete(e.key), true);
""".replace("@LEFT@", str(px(1680))).replace("@ALTO@", str(px(960))).replace(
    "@BASSO@", str(px(960 + 58 * 50))).replace("@FONDO@", str(px(3840)))

TASTI = [("Tab", 9), ("Enter", 13), ("Escape", 27), (" ", 32), ("ArrowLeft", 37),
         ("ArrowUp", 38), ("ArrowRight", 39), ("ArrowDown", 40), ("F10", 121)]


# Once the page has run what the inputs queued (each check is a task of its own, queued behind
# its input, or behind the closing of a box), what it found, handed over once; whether the
# program has ended; what reached it.
LEGGI = """return new Promise(fatto => {
    const leggi = () => setTimeout(() => window.chiudendo ? leggi()
        : setTimeout(() => fatto([guasti.splice(0), Idrovela.terminato, conteggi]), 0), 0);
    leggi();
})"""

# What must have reached the program, at least, for each 10,000 inputs: a third of what the
# default seed delivers. "pagine" counts the programs started, so 2 means one ended on the exit
# question and was started again.
MINIMI = {"clic": 2500, "tasti": 1400, "Option1_Click": 250, "Option2_Click": 200,
          "Command1_Click": 60, "tmrDiscesa_Timer": 500, "verdetti": 60, "risposte": 3,
          "pagine": 2, "mnprince_Click": 5, "mninfo_Click": 40, "Command3_Click": 4,
          "Image1_Click": 15}


class Scolaresca(unittest.TestCase):
    def test_input_a_caso(self):
        print(f"seed {SEME} (IDROVELA_SEME={SEME} replays it), {INPUT} inputs", flush=True)
        caso = random.Random(SEME)
        d = browser()
        self.conteggi = {}
        try:
            self.corse(d, caso)
        finally:
            d.quit()
        print("reached the program:", ", ".join(f"{k} {v}" for k, v in
                                                 sorted(self.conteggi.items())), flush=True)
        # The pupils got everywhere: choices, runs to their verdicts, both panels, the exit.
        for nome, minimo in MINIMI.items():
            self.assertGreaterEqual(self.conteggi.get(nome, 0), math.floor(minimo * INPUT / 10000),
                                    f"{nome} (seed {SEME})")

    def apri(self, d):
        d.get(URL)
        aspetta(d, AVVIATA, 'no start')
        d.execute_script(INVARIANTI + "removeEventListener('beforeunload', Idrovela.chiediUscita)")
        self.conteggi["pagine"] = self.conteggi.get("pagine", 0) + 1
        r = d.execute_script("return document.getElementById('form1').getBoundingClientRect()"
                             ".toJSON()")
        # Pupils aim at the controls more often than at the empty window: where they lie,
        # the hidden ones shown for the measure.
        self.bersagli = d.execute_script("""
            const nascosti = ['menuFile', 'Frame3', 'Frame4'].map(id => document.getElementById(id));
            for (const e of nascosti) e.hidden = false;
            const centri = Array.from(document.querySelectorAll(
                '.opzione, #Command1, #mnfile, #mninfo, #mnprince, #mnexit, .freccia')).map(e => {
                    const r = e.getBoundingClientRect();
                    return [r.left + r.width / 2, r.top + r.height / 2]; });
            for (const e of nascosti) e.hidden = true;
            return centri;""")
        return r["left"], r["top"], r["width"], r["height"]

    def corse(self, d, caso):
        x0, y0, larghezza, altezza = self.apri(d)
        cdp = d.execute_cdp_cmd
        for numero in range(INPUT):
            x, y = x0 + caso.uniform(0, larghezza), y0 + caso.uniform(0, altezza)
            if caso.random() < 0.5:
                x, y = caso.choice(self.bersagli)
            tipo = caso.random()
            if tipo < 0.45:
                for evento in ["mousePressed", "mouseReleased"]:
                    cdp("Input.dispatchMouseEvent", {"type": evento, "x": x, "y": y,
                                                     "button": "left", "clickCount": 1})
            elif tipo < 0.65:
                cdp("Input.dispatchTouchEvent",
                    {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]})
                cdp("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})
            elif tipo < 0.68:
                # The explanation from the menu, by keys: F10, down to "Idrovela", Return.
                for nome, codice in [("F10", 121), ("ArrowDown", 40), ("Enter", 13)]:
                    self.tasto(cdp, nome, codice, 0)
            else:
                nome, codice = caso.choice(TASTI)
                self.tasto(cdp, nome, codice, 8 if nome == "Tab" and caso.random() < 0.3 else 0)
            if self.controlla(d, numero + 1, numero % 500 == 499) and numero + 1 < INPUT:
                x0, y0, larghezza, altezza = self.apri(d)

    @staticmethod
    def tasto(cdp, nome, codice, modificatori):
        for evento in ["rawKeyDown", "keyUp"]:
            cdp("Input.dispatchKeyEvent", {
                "type": evento, "key": nome, "windowsVirtualKeyCode": codice,
                "modifiers": modificatori, "text": " " if nome == " " and evento == "rawKeyDown"
                else ""})

    def controlla(self, d, numero, console):
        """Reads what the page found after numero inputs, and the console with console or once
        the program has ended; says whether it has, having added up what reached it."""
        guasti, terminato, conteggi = d.execute_script(LEGGI)
        self.assertEqual(guasti, [], f"after {numero} inputs (seed {SEME})")
        if console or terminato or numero == INPUT:
            self.assertEqual(d.get_log("browser"), [], f"after {numero} inputs (seed {SEME})")
        if terminato or numero == INPUT:
            for nome, volte in conteggi.items():
                self.conteggi[nome] = self.conteggi.get(nome, 0) + volte
        return terminato


if __name__ == "__main__":
    suona_dove_nessuno_registra()
    unittest.main(verbosity=2)
