#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser program's figures, each against a baseline measured in the same run:

- first complete paint (the first frame with the tank's picture, from the start of the
  navigation) of idrovela.html against the same page without the program: its
  markup with the tank as an inline picture and no script. Warm: the two pages loaded in turn
  in one browser. Cold: each in a fresh browser, in turn. Ratios round by round.
- the file's size and its zip's;
- the descent of iron in water: its duration and the intervals of tmrDiscesa, against the
  timer's own 30 ms and 58 ticks.

  bench/web/banco.py BUILD_WEB [--quick]
Prints a table and one line of JSON.
"""
import json
import pathlib
import re
import statistics
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

CARTELLA = pathlib.Path(sys.argv[1]).resolve()
RAPIDO = "--quick" in sys.argv
PAGINA = CARTELLA / "idrovela.html"


def pagina_statica():
    """The page as a hand-written one would be: the same markup and pictures, no program."""
    testo = PAGINA.read_text(encoding="utf-8")
    testo = re.sub(r"<script.*?</script>", "", testo, flags=re.S)
    percorso = CARTELLA / "statica.html"
    percorso.write_text(testo, encoding="utf-8")
    return percorso


def browser():
    opzioni = webdriver.ChromeOptions()
    for flag in ["--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                 "--disable-background-networking", "--disable-component-update",
                 "--no-first-run", "--disable-sync", "--lang=it-IT", "--window-size=800,600",
                 "--user-data-dir=" + tempfile.mkdtemp(prefix="idrovela-banco-")]:
        opzioni.add_argument(flag)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=opzioni)


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


def prepara(d):
    d.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": OSSERVA})


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


def main():
    statica = pagina_statica()
    giri_caldi, giri_freddi, corse = (2, 1, 1) if RAPIDO else (15, 6, 5)
    nostra_c, loro_c, rapporti_c = caldo(statica, giri_caldi)
    nostra_f, loro_f, rapporti_f = freddo(statica, giri_freddi)
    durate, intervalli = discesa(corse)
    zip_ = CARTELLA / "Idrovela-1.00-web.zip"
    figure = {
        "dimensione_pagina": PAGINA.stat().st_size,
        "dimensione_zip": zip_.stat().st_size if zip_.exists() else None,
        "vernice_calda_ms": riassunto(nostra_c), "vernice_calda_statica_ms": riassunto(loro_c),
        "vernice_calda_rapporto": riassunto(rapporti_c),
        "vernice_fredda_ms": riassunto(nostra_f), "vernice_fredda_statica_ms": riassunto(loro_f),
        "vernice_fredda_rapporto": riassunto(rapporti_f),
        "discesa_ms": riassunto(durate), "discesa_rapporto_58x30": statistics.median(durate) / 1740,
        "intervalli_ms": riassunto(intervalli),
    }
    print(f"page {figure['dimensione_pagina']} bytes, zip {figure['dimensione_zip']} bytes")
    for nome in ["calda", "fredda"]:
        n, s, r = (figure[f"vernice_{nome}_ms"], figure[f"vernice_{nome}_statica_ms"],
                   figure[f"vernice_{nome}_rapporto"])
        print(f"first paint, {'warm' if nome == 'calda' else 'cold'}: {n['mediana']:.0f} ms "
              f"against {s['mediana']:.0f} ms, ratio {r['mediana']:.2f} "
              f"({r['minimo']:.2f}-{r['massimo']:.2f}, {r['n']} rounds)")
    i = figure["intervalli_ms"]
    print(f"descent: {figure['discesa_ms']['mediana']:.0f} ms (x{figure['discesa_rapporto_58x30']:.2f} "
          f"of 58 x 30 ms); ticks median {i['mediana']:.1f} ms, at most {i['massimo']:.1f} ms")
    print(json.dumps(figure))
    statica.unlink()


if __name__ == "__main__":
    main()
