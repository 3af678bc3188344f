#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser program's figures, each against a baseline measured in the same run:

- first complete paint (the first frame with the tank's picture, from the start of the
  navigation) of idrovela.html against the same page without the program: its
  markup with the tank as an inline picture and no script but the few lines that fit the
  window to the viewport. Warm: the two pages loaded in turn in one browser. Cold: each in a
  fresh browser, in turn. Ratios round by round.
- the same first paint on a tablet (768 x 1024, two device pixels to a CSS pixel, touch) and a
  1080p board, where the frame counts only once the window fills the viewport, warm.
- the file's size and its zip's;
- the descent of iron in water: its duration and the intervals of tmrDiscesa, against the
  timer's own 30 ms and 58 ticks.
- a click on "OK" (iron in water) to the bubbling's first sample in a recording of the private
  PulseAudio server's null sink, against a bare page whose button plays the same WAVE through
  an audio context opened the same way. The recording's own delay is in both alike, so the
  difference is what the program adds; each figure alone is an estimate good to a few ms.

  bench/web/banco.py BUILD_WEB [--quick]
Prints a table and one line of JSON.
"""
import base64
import json
import os
import pathlib
import re
import statistics
import subprocess
import sys
import threading
import time
import wave

from selenium.webdriver.common.by import By

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "support"))
from cromo import browser as cromo  # noqa: E402

CARTELLA = pathlib.Path(sys.argv[1]).resolve()
RAPIDO = "--quick" in sys.argv
PAGINA = CARTELLA / "idrovela.html"


def pagina_statica():
    """The page as a hand-written one would be: the same markup and pictures, no program."""
    testo = PAGINA.read_text(encoding="utf-8")
    testo = re.sub(r"<script.*?</script>", lambda s: s[0] if "const Adatta" in s[0] else "",
                   testo, flags=re.S)
    percorso = CARTELLA / "statica.html"
    percorso.write_text(testo, encoding="utf-8")
    return percorso


def browser(schermo=None):
    d = cromo(misura=True)
    if schermo:
        larghezza, altezza, densita, tocco = schermo
        d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": larghezza, "height": altezza, "deviceScaleFactor": densita, "mobile": tocco})
        d.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": tocco})
    return d


# The tank's picture is watched from the start, by a script that the browser runs first in
# every new document: the first frame that begins with the tank's picture loaded is the frame
# that paints it (Element Timing would be better, but it leaves out inline pictures).
OSSERVA = """
window.vasca = 0;
const guarda = istante => {
    const v = document.getElementById('imgContenitore');
    if (v && v.complete && v.naturalWidth)
        window.vasca = istante;
    else
        requestAnimationFrame(guarda);
};
requestAnimationFrame(guarda);
"""

# The same, once the window fills the viewport at the largest size with its proportions.
OSSERVA_ADATTATA = OSSERVA.replace("v.complete && v.naturalWidth", """v.complete && v.naturalWidth
    && Math.abs(document.getElementById('form1').getBoundingClientRect().width
                - 474 * Math.min(innerWidth / 474, innerHeight / 420)) < 1""")

SCHERMI = {"tablet": (768, 1024, 2, True), "lavagna": (1920, 1080, 1, False)}


def prima_vernice(d, percorso):
    d.execute_script("if (typeof Idrovela !== 'undefined') "
                     "removeEventListener('beforeunload', Idrovela.chiediUscita)")
    d.get(percorso.as_uri())
    fine = time.monotonic() + 10
    while True:
        valore = d.execute_script("return window.vasca")
        if valore:
            return valore
        if time.monotonic() > fine:
            raise RuntimeError("no paint of the tank in " + percorso.name)
        time.sleep(0.01)


def prepara(d, osserva=OSSERVA):
    d.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": osserva})


def riassunto(valori):
    valori = sorted(valori)
    return {"mediana": statistics.median(valori), "minimo": valori[0], "massimo": valori[-1],
            "n": len(valori)}


def caldo(statica, giri):
    d = browser()
    prepara(d)
    rapporti, nostra, loro = [], [], []
    try:
        for pagina in [PAGINA, statica]:
            prima_vernice(d, pagina)  # a warm-up of each
        for giro in range(giri):
            ordine = [PAGINA, statica] if giro % 2 == 0 else [statica, PAGINA]
            tempi = {p: prima_vernice(d, p) for p in ordine}
            nostra.append(tempi[PAGINA])
            loro.append(tempi[statica])
            rapporti.append(tempi[PAGINA] / tempi[statica])
    finally:
        d.quit()
    return nostra, loro, rapporti


def adattata(statica, schermo, giri):
    """Warm first paints of the fitted window on one screen, the page against the static one."""
    d = browser(SCHERMI[schermo])
    prepara(d, OSSERVA_ADATTATA)
    nostra, loro = [], []
    try:
        for pagina in [PAGINA, statica]:
            prima_vernice(d, pagina)
        for giro in range(giri):
            for pagina in ([PAGINA, statica] if giro % 2 == 0 else [statica, PAGINA]):
                (nostra if pagina == PAGINA else loro).append(prima_vernice(d, pagina))
    finally:
        d.quit()
    return nostra, loro


def freddo(statica, giri):
    nostra, loro, rapporti = [], [], []
    for giro in range(giri):
        tempi = {}
        for pagina in ([PAGINA, statica] if giro % 2 == 0 else [statica, PAGINA]):
            d = browser()
            prepara(d)
            try:
                tempi[pagina] = prima_vernice(d, pagina)
            finally:
                d.quit()
        nostra.append(tempi[PAGINA])
        loro.append(tempi[statica])
        rapporti.append(tempi[PAGINA] / tempi[statica])
    return nostra, loro, rapporti


def discesa(giri):
    d = browser()
    durate, intervalli = [], []
    try:
        d.get(PAGINA.as_uri())
        while not d.execute_script("return typeof Idrovela !== 'undefined' && Idrovela.pronto"):
            time.sleep(0.02)
        d.execute_script("""window.tick = []; window.ok = 0; window.box = 0;
            const chiama = Idrovela.chiama.bind(Idrovela);
            Idrovela.chiama = (nome, ...a) => {
                if (nome === 'tmrDiscesa_Timer') tick.push(performance.now());
                if (nome === 'Command1_Click') ok = performance.now();
                return chiama(nome, ...a); };
            new MutationObserver(() => { if (msgbox.open) box = performance.now(); })
                .observe(msgbox, { attributes: true });""")
        d.find_element(By.CSS_SELECTOR, "#Option1_0 input").click()
        d.find_element(By.CSS_SELECTOR, "#Option2_1 input").click()
        for _ in range(giri):
            d.execute_script("tick = []; box = 0")
            d.find_element(By.ID, "Command1").click()
            while not d.execute_script("return box"):
                time.sleep(0.05)
            tick, ok, box = d.execute_script("return [tick, ok, box]")
            durate.append(box - ok)
            intervalli += [b - a for a, b in zip([ok] + tick, tick)]
            d.find_element(By.ID, "msgOk").click()
    finally:
        d.quit()
    return durate, intervalli


FREQUENZA = 11025
BOLLE = pathlib.Path(__file__).resolve().parents[2] / "resources" / "suono" / "bolle.wav"

# The same WAVE played on a click, through an audio context opened at the first gesture, as the
# program opens its own: the floor of a page's click to sound.
SUONO_NUDO = """<!DOCTYPE html><html><body><button id="suona">OK</button><script>
const byte = Uint8Array.from(atob("@CAMPIONI@"), c => c.charCodeAt(0));
let audio = null;
addEventListener("pointerdown", () => { audio = audio || new AudioContext(); }, { capture: true });
suona.onclick = () => {
    const buffer = audio.createBuffer(1, byte.length, @FREQUENZA@);
    const canale = buffer.getChannelData(0);
    for (let i = 0; i < byte.length; ++i) canale[i] = (byte[i] - 128) / 128;
    const sorgente = audio.createBufferSource();
    sorgente.buffer = buffer;
    sorgente.connect(audio.destination);
    sorgente.start();
};
</script></body></html>"""


def pagina_suono_nudo():
    with wave.open(str(BOLLE)) as w:
        campioni = w.readframes(w.getnframes())
    testo = SUONO_NUDO.replace("@CAMPIONI@", base64.b64encode(campioni).decode()).replace(
        "@FREQUENZA@", str(FREQUENZA))
    percorso = CARTELLA / "suono-nudo.html"
    percorso.write_text(testo, encoding="utf-8")
    # The first sample of the WAVE that is not silence: where "the sound starts".
    return percorso, next(i for i, b in enumerate(campioni) if abs(b - 128) > 2)


class Registrazione:
    """The null sink's monitor, recorded as it plays; a click is marked by the samples in hand."""

    def __init__(self):
        monitor = os.environ["IDROVELA_SERVER_AUDIO"] + ".monitor"
        self.parec = subprocess.Popen(
            ["parec", "--device=" + monitor, "--format=s16le", f"--rate={FREQUENZA}",
             "--channels=1", "--latency-msec=5"], stdout=subprocess.PIPE)
        self.dati = bytearray()
        threading.Thread(target=self.leggi, daemon=True).start()
        fine = time.monotonic() + 5
        while len(self.dati) < FREQUENZA // 10 * 2:
            if time.monotonic() > fine:
                raise RuntimeError("parec records nothing from " + monitor)
            time.sleep(0.01)

    def leggi(self):
        while blocco := self.parec.stdout.read1(4096):
            self.dati += blocco

    def adesso(self):
        return len(self.dati) // 2

    def primo_suono_dopo(self, campione, entro):
        fine = time.monotonic() + entro
        while time.monotonic() < fine:
            byte = bytes(self.dati[campione * 2:len(self.dati) // 2 * 2])
            for i in range(0, len(byte), 2):
                if abs(int.from_bytes(byte[i:i + 2], "little", signed=True)) > 600:
                    return campione + i // 2
            time.sleep(0.1)
        raise RuntimeError("no sound after the click")

    def ferma(self):
        self.parec.terminate()
        self.parec.wait(5)


def clic_al_suono(corse):
    """Milliseconds from each click to its sound's first sample, for the program and the bare
    page in turn, one browser each, a recording for both."""
    nudo, scarto = pagina_suono_nudo()
    registrazione = Registrazione()
    nostra, loro = [], []
    d, b = browser(), browser()
    try:
        d.get(PAGINA.as_uri())
        while not d.execute_script("return typeof Idrovela !== 'undefined' && Idrovela.pronto"):
            time.sleep(0.02)
        d.find_element(By.CSS_SELECTOR, "#Option1_0 input").click()
        d.find_element(By.CSS_SELECTOR, "#Option2_1 input").click()
        b.get(nudo.as_uri())
        b.find_element(By.TAG_NAME, "body").click()  # its first gesture, as the choices are
        pulsante = b.find_element(By.ID, "suona")
        ok = d.find_element(By.ID, "Command1")
        time.sleep(1.0)  # both devices started

        def misura(elemento):
            inizio = registrazione.adesso()
            elemento.click()
            suono = registrazione.primo_suono_dopo(inizio, 5)
            time.sleep(4.0)  # the whole sound, then silence again
            return (suono - scarto - inizio) * 1000 / FREQUENZA

        for _ in range(corse):
            nostra.append(misura(ok))
            d.find_element(By.ID, "msgOk").click()
            loro.append(misura(pulsante))
    finally:
        d.quit()
        b.quit()
        registrazione.ferma()
        nudo.unlink()
    return nostra, loro


def main():
    statica = pagina_statica()
    giri_caldi, giri_freddi, corse = (2, 1, 1) if RAPIDO else (15, 6, 5)
    nostra_c, loro_c, rapporti_c = caldo(statica, giri_caldi)
    nostra_f, loro_f, rapporti_f = freddo(statica, giri_freddi)
    adattate = {nome: adattata(statica, nome, giri_caldi) for nome in SCHERMI}
    durate, intervalli = discesa(corse)
    suono, suono_nudo = clic_al_suono(1 if RAPIDO else 5)
    zip_ = CARTELLA / "Idrovela-1.00-web.zip"
    figure = {
        "dimensione_pagina": PAGINA.stat().st_size,
        "dimensione_zip": zip_.stat().st_size if zip_.exists() else None,
        "vernice_calda_ms": riassunto(nostra_c), "vernice_calda_statica_ms": riassunto(loro_c),
        "vernice_calda_rapporto": riassunto(rapporti_c),
        "vernice_fredda_ms": riassunto(nostra_f), "vernice_fredda_statica_ms": riassunto(loro_f),
        "vernice_fredda_rapporto": riassunto(rapporti_f),
        **{f"vernice_{nome}_ms": riassunto(n) for nome, (n, s) in adattate.items()},
        **{f"vernice_{nome}_statica_ms": riassunto(s) for nome, (n, s) in adattate.items()},
        "discesa_ms": riassunto(durate), "discesa_rapporto_58x30": statistics.median(durate) / 1740,
        "intervalli_ms": riassunto(intervalli),
        "clic_suono_ms": riassunto(suono), "clic_suono_nudo_ms": riassunto(suono_nudo),
        "clic_suono_differenza_ms": riassunto([a - b for a, b in zip(suono, suono_nudo)]),
    }
    print(f"page {figure['dimensione_pagina']} bytes, zip {figure['dimensione_zip']} bytes")
    for nome in ["calda", "fredda"]:
        n, s, r = (figure[f"vernice_{nome}_ms"], figure[f"vernice_{nome}_statica_ms"],
                   figure[f"vernice_{nome}_rapporto"])
        print(f"first paint, {'warm' if nome == 'calda' else 'cold'}: {n['mediana']:.0f} ms "
              f"against {s['mediana']:.0f} ms, ratio {r['mediana']:.2f} "
              f"({r['minimo']:.2f}-{r['massimo']:.2f}, {r['n']} rounds)")
    for nome, descrizione in [("tablet", "tablet 768 x 1024"), ("lavagna", "board 1920 x 1080")]:
        n, s = figure[f"vernice_{nome}_ms"], figure[f"vernice_{nome}_statica_ms"]
        print(f"first paint of the fitted window, {descrizione}, warm: {n['mediana']:.0f} ms "
              f"({n['minimo']:.0f}-{n['massimo']:.0f}) against {s['mediana']:.0f} ms")
    i = figure["intervalli_ms"]
    print(f"descent: {figure['discesa_ms']['mediana']:.0f} ms (x{figure['discesa_rapporto_58x30']:.2f} "
          f"of 58 x 30 ms); ticks median {i['mediana']:.1f} ms, at most {i['massimo']:.1f} ms")
    c, n, x = (figure["clic_suono_ms"], figure["clic_suono_nudo_ms"],
               figure["clic_suono_differenza_ms"])
    print(f"click to sound: {c['mediana']:.1f} ms against {n['mediana']:.1f} ms for a bare page, "
          f"{x['mediana']:+.1f} ms ({x['minimo']:+.1f} to {x['massimo']:+.1f}, {x['n']} clicks)")
    print(json.dumps(figure))
    statica.unlink()


if __name__ == "__main__":
    main()
