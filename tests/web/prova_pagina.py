#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser program as a pupil meets it: the single page opened from file:// in a real
Chromium with the network off, driven by pointer, touch and keys. Every control's rectangle
is checked against the layout table (as the page's own writer exported it), the pixels
against the pictures, the runs tick by tick; the console stays silent and nothing is fetched.

Environment: IDROVELA_PAGINA (the built idrovela.html), IDROVELA_RETTANGOLI (its rectangles
as JSON), IDROVELA_ARTEFATTI (where the screenshots go), IDROVELA_RISORSE (resources/).
"""
import functools
import http.server
import io
import json
import os
import pathlib
import tempfile
import threading
import time
import unittest

from PIL import Image
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

PAGINA = pathlib.Path(os.environ["IDROVELA_PAGINA"]).resolve()
RETTANGOLI = json.loads(pathlib.Path(os.environ["IDROVELA_RETTANGOLI"]).read_text())
ARTEFATTI = pathlib.Path(os.environ.get("IDROVELA_ARTEFATTI", "artefatti"))
RISORSE = pathlib.Path(os.environ["IDROVELA_RISORSE"])
URL = PAGINA.as_uri()

# The liquid in each tank picture, by option: water, mercury, oil, petrol.
COLORI_VASCA = [(128, 255, 255), (214, 214, 214), (210, 255, 128), (214, 214, 214)]
AFFONDA = ("Il corpo affonda",
           "Il corpo affonda perchè la sua densità è maggiore di quella del liquido")
GALLEGGIA = ("Il corpo galleggia",
             "Il corpo galleggia perchè la sua densità è minore di quella del liquido")
# Twips to CSS pixels, as the page rounds them; a run's tops in twips, tick after tick.
def px(twips):
    return int(twips / 15 + 0.5)


def aspetta(d, condizione, perche, secondi=10.0):
    """Waits for a script's answer to be true, and returns it."""
    fine = time.monotonic() + secondi
    while True:
        valore = d.execute_script(condizione)
        if valore:
            return valore
        if time.monotonic() > fine:
            raise AssertionError(perche + ": still waiting for " + condizione)
        time.sleep(0.02)


AVVIATA = "return typeof Idrovela !== 'undefined' && Idrovela.pronto"


def suona_dove_nessuno_registra():
    """Chromium plays on the server that no test records (tools/with-sound-server.sh), so that
    its bubbling and beeps never reach another test's recording."""
    if os.environ.get("IDROVELA_SERVER_RUMORE"):
        os.environ["PULSE_SERVER"] = os.environ["IDROVELA_SERVER_RUMORE"]


def browser(lingua="it-IT", larghezza=800, altezza=600, in_rete=False):
    opzioni = webdriver.ChromeOptions()
    for flag in ["--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                 "--disable-background-networking", "--disable-component-update",
                 "--no-first-run", "--disable-sync", "--lang=" + lingua,
                 f"--window-size={larghezza},{altezza}",
                 "--user-data-dir=" + tempfile.mkdtemp(prefix="idrovela-chromium-")]:
        opzioni.add_argument(flag)
    opzioni.add_experimental_option("prefs", {"intl.accept_languages": lingua})
    opzioni.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=opzioni)
    driver.execute_cdp_cmd("Network.enable", {})
    driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
        "offline": not in_rete, "latency": 0, "downloadThroughput": -1, "uploadThroughput": -1})
    return driver


class Pagina(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        ARTEFATTI.mkdir(parents=True, exist_ok=True)
        cls.d = browser()
        cls.d.get_log("performance")  # the browser's own start, before the page

    @classmethod
    def tearDownClass(cls):
        cls.d.quit()

    def setUp(self):
        self.apri()

    def tearDown(self):
        # Nothing may reach the console and nothing may be fetched beyond the file itself.
        console = [voce for voce in self.d.get_log("browser")]
        self.assertEqual(console, [], "the console was not silent")
        for voce in self.d.get_log("performance"):
            messaggio = json.loads(voce["message"])["message"]
            if messaggio["method"] == "Network.requestWillBeSent":
                url = messaggio["params"]["request"]["url"]
                # chrome: is the browser's own UI (a tooltip's style), not the page's.
                self.assertTrue(url == URL or url.startswith(("data:", "blob:", "chrome:")),
                                "a request beyond the file: " + url)

    # The page, loaded afresh and started.
    def apri(self):
        self.d.execute_script(
            "if (typeof Idrovela !== 'undefined') removeEventListener('beforeunload', Idrovela.chiediUscita)")
        self.d.get(URL)
        self.aspetta(AVVIATA)
        # Every top a body takes, and when each box opens, with the time.
        self.d.execute_script("""
            window.traccia = [];
            // A record's new value is the next record's old one, or the present one.
            const osserva = new MutationObserver(cambi => {
                for (const [i, c] of cambi.entries()) {
                    const dopo = cambi.slice(i + 1).find(
                        d => d.target === c.target && d.attributeName === c.attributeName);
                    const valore = dopo ? dopo.oldValue : c.target.getAttribute(c.attributeName);
                    if (c.attributeName === 'style')
                        traccia.push([performance.now(), c.target.id,
                                      parseInt(/top: *(-?[0-9]+)px/.exec(valore)[1])]);
                    else
                        traccia.push([performance.now(), c.target.id + ':' + c.attributeName,
                                      valore !== null]);
                } });
            for (const id of ['imgGhiaccio', 'imgFerro', 'imgRame', 'imgLegno'])
                osserva.observe(document.getElementById(id),
                                { attributes: true, attributeOldValue: true });
            osserva.observe(document.getElementById('msgbox'),
                            { attributeFilter: ['open'], attributeOldValue: true });
            document.getElementById('Command1').addEventListener('click',
                () => traccia.push([performance.now(), 'OK']), true);""")

    def aspetta(self, condizione, secondi=10.0):
        return aspetta(self.d, condizione, self.id(), secondi)

    def el(self, id):
        return self.d.find_element(By.ID, id)

    def scegli(self, gruppo, indice):
        self.d.find_element(By.CSS_SELECTOR, f"#{gruppo}_{indice} input").click()

    def box(self):
        self.aspetta("return document.getElementById('msgbox').open")
        # Over the middle of the window, wherever the window stands in the browser's page.
        x, y = self.d.execute_script(
            "const b = document.getElementById('msgbox').getBoundingClientRect();"
            "return [b.left + b.width / 2, b.top + b.height / 2]")
        finestra = self.el("finestra").rect
        self.assertAlmostEqual(x, finestra["x"] + finestra["width"] / 2, delta=1)
        self.assertAlmostEqual(y, finestra["y"] + finestra["height"] / 2, delta=1)
        return self.el("msgTitolo").text, self.el("msgTesto").text

    def chiudi_box(self):
        self.el("msgOk").click()
        self.aspetta("return !document.getElementById('msgbox').open")

    def schermata(self, nome):
        png = self.d.get_screenshot_as_png()
        (ARTEFATTI / f"{nome}.png").write_bytes(png)
        return Image.open(io.BytesIO(png)).convert("RGB")

    def origine(self):
        r = self.d.execute_script(
            "return document.getElementById('finestra').getBoundingClientRect().toJSON()")
        return r["left"], r["top"]

    def visibile(self, id):
        return self.d.execute_script(f"return !document.getElementById('{id}').hidden")

    def rettangolo(self, id):
        return self.d.execute_script(f"""
            const f = document.getElementById('finestra').getBoundingClientRect();
            const r = document.getElementById('{id}').getBoundingClientRect();
            return [r.left - f.left, r.top - f.top, r.width, r.height];""")

    # --- the window as laid out

    def test_titolo_lingua_e_icona(self):
        self.assertEqual(self.d.title, "Idrovela")
        self.assertEqual(self.d.execute_script("return document.documentElement.lang"), "it")
        icona = self.d.execute_script("return document.querySelector('link[rel=icon]').href")
        self.assertTrue(icona.startswith("data:image/png;base64,"))
        self.assertEqual(self.rettangolo("finestra")[2:], [474, 400])

    def test_ogni_controllo_dove_lo_vuole_la_tabella(self):
        # Shown for the measure, the hidden ones too, at the screen densities of a zoomed or
        # high-density screen: CSS pixels stay the table's at every one.
        self.d.execute_script(
            "for (const e of document.querySelectorAll('#finestra [hidden]')) "
            "{ e.dataset.nascosto = 1; e.hidden = false; }")
        try:
            for scala in [0.5, 1, 1.25, 1.5, 2, 3]:
                self.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                    "width": 800, "height": 600, "deviceScaleFactor": scala, "mobile": False})
                for voce in RETTANGOLI:
                    atteso = [voce["left"], voce["top"], voce["width"], voce["height"]]
                    misurato = self.rettangolo(voce["id"])
                    for a, m in zip(atteso, misurato):
                        self.assertLessEqual(abs(a - m), 1,
                                             f"{voce['id']} at x{scala}: {misurato} != {atteso}")
        finally:
            self.d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_nitida_al_doppio(self):
        # At 200 % the pictures are their drawings at 2x: the tank chosen anew pixel for pixel,
        # outlines two pixels thick along smooth curves rather than the design's pixels doubled
        # into steps; the bodies that the markup holds too; every one at its design size.
        self.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 800, "height": 600, "deviceScaleFactor": 2, "mobile": False})
        try:
            self.apri()
            self.scegli("Option1", 0)
            self.aspetta("const v = document.getElementById('imgContenitore'); "
                         "return v.complete && v.currentSrc.startsWith('blob:')")
            # The body's picture in the markup: the browser took its 2x candidate.
            self.assertTrue(self.d.execute_script(
                "const f = document.getElementById('imgFerro'); "
                "return f.complete && f.currentSrc === f.dataset.src2x"))
            self.assertEqual(self.rettangolo("imgContenitore")[2:], [287, 366])
            x0, y0 = self.origine()
            immagine = self.schermata("vasca-al-doppio")
            doppio = Image.open(RISORSE / "bitmap" / "contenitore_acqua@2x.png").convert("RGB")
            sx, sy = round(2 * (x0 + px(120))), round(2 * (y0 + px(240)))
            vista = immagine.crop((sx, sy, sx + doppio.width, sy + doppio.height))
            self.assertEqual(vista.tobytes(), doppio.tobytes(),
                             "the tank at 200 % is not the drawing at 2x")
        finally:
            self.d.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_vasca_di_ogni_liquido_e_corpo_davanti(self):
        x0, y0 = self.origine()
        dentro = (x0 + px(120) + 130, y0 + px(240) + 200)  # in the liquid, clear of the bar
        for indice, colore in enumerate(COLORI_VASCA):
            self.scegli("Option1", indice)
            self.aspetta("return document.getElementById('imgContenitore').complete")
            immagine = self.schermata(f"liquido-{indice}")
            self.assertEqual(immagine.getpixel((int(dentro[0]), int(dentro[1]))), colore)
        self.scegli("Option1", 0)
        self.scegli("Option2", 1)
        immagine = self.schermata("ferro-in-acqua")
        ferro = Image.open(RISORSE / "finestra" / "ferro.png").convert("RGBA")
        for x, y in [(30, 32), (20, 25), (40, 40)]:
            r, g, b, a = ferro.getpixel((x, y))
            self.assertEqual(a, 255)
            self.assertEqual(immagine.getpixel((int(x0 + px(1680) + x), int(y0 + px(960) + y))),
                             (r, g, b), "the body is not drawn over the tank")

    def test_densita_in_italiano(self):
        self.scegli("Option1", 1)
        self.scegli("Option2", 3)
        self.assertEqual(self.el("lblPSLiquido").text, "Densità= 13,6")
        self.assertEqual(self.el("lblPSMateriale").text, "Densità = 0,45")
        self.assertFalse(self.el("Command1").get_property("disabled"))

    # --- runs

    def test_ferro_in_acqua_58_passi_poi_il_verdetto(self):
        self.scegli("Option1", 0)
        self.scegli("Option2", 1)
        self.el("Command1").click()
        self.assertTrue(self.el("Command1").get_property("disabled"))
        self.assertEqual(self.box(), AFFONDA)
        self.schermata("verdetto-affonda")
        traccia = self.d.execute_script("return traccia")
        partenza = next(t for t, *resto in traccia if resto == ["OK"])
        tops = [v[2] for v in traccia if v[1] == "imgFerro" and v[0] > partenza]
        attesi = [px(960 + 50 * k) for k in range(1, 59)] + [px(960)]
        # Each tick moves the body; equal tops from rounding leave no mark.
        distinti = [t for i, t in enumerate(attesi) if i == 0 or t != attesi[i - 1]]
        self.assertEqual(tops, distinti)
        aperto = next(t for t, id, *valore in traccia if id == "msgbox:open" and valore[0])
        durata = (aperto - partenza) / 1000
        self.assertGreater(durata, 57 * 0.030 * 0.95, "faster than the timer")
        self.assertLess(durata, 5.0)
        self.chiudi_box()
        for corpo in ["imgGhiaccio", "imgFerro", "imgRame", "imgLegno"]:
            self.assertFalse(self.visibile(corpo), corpo)
        self.assertFalse(self.el("Command1").get_property("disabled"))

    def test_ghiaccio_in_acqua_galleggia_subito(self):
        self.scegli("Option1", 0)
        self.scegli("Option2", 0)
        self.el("Command1").click()
        self.assertEqual(self.box(), GALLEGGIA)
        self.schermata("verdetto-galleggia")
        traccia = self.d.execute_script("return traccia")
        self.assertFalse([v for v in traccia if v[1] == "imgGhiaccio" and v[2] != px(960)])
        self.chiudi_box()
        self.assertFalse(self.visibile("imgGhiaccio"))

    def test_rame_in_mercurio_galleggia_ferro_in_olio_affonda(self):
        self.scegli("Option1", 1)
        self.scegli("Option2", 2)
        self.el("Command1").click()
        self.assertEqual(self.box(), GALLEGGIA)
        self.chiudi_box()
        self.scegli("Option1", 2)
        self.scegli("Option2", 1)
        self.el("Command1").click()
        self.assertEqual(self.box(), AFFONDA)
        self.chiudi_box()

    def test_ok_durante_la_discesa_riparte_dall_alto(self):
        self.scegli("Option1", 0)
        self.scegli("Option2", 1)
        self.el("Command1").click()
        self.aspetta("return parseInt(document.getElementById('imgFerro').style.top) > 120")
        # Two choices arm "OK" again, and it is pressed, all between two ticks: on a busy
        # machine the run could end while a driver's clicks make their way one by one.
        self.assertTrue(self.d.execute_script("""
            if (document.getElementById('msgbox').open) return false;
            document.querySelector('#Option1_0 input').click();
            document.querySelector('#Option2_1 input').click();
            document.getElementById('Command1').click();
            return true"""), "the run was over before OK could be pressed again")
        secondo = self.d.execute_script("return traccia.filter(v => v[1] === 'OK')[1][0]")
        self.assertEqual(self.box(), AFFONDA)
        traccia = self.d.execute_script("return traccia")
        dopo = [v[2] for v in traccia if v[1] == "imgFerro" and v[0] > secondo]
        self.assertEqual(dopo[:3], [px(960), px(1010), px(1060)],
                         "the run did not start from the top")
        self.chiudi_box()

    def test_niente_entra_mentre_il_box_e_aperto(self):
        self.scegli("Option1", 0)
        self.scegli("Option2", 0)
        self.el("Command1").click()
        self.box()
        # The page under a modal box takes no pointer or key; called anyway, the program
        # must not be entered a second time.
        self.d.execute_script("Idrovela.chiama('Option1_Click', 1); "
                              "Idrovela.chiama('Command1_Click')")
        self.assertEqual(self.el("lblPSLiquido").get_attribute("textContent"), "Densità= 1")
        ActionChains(self.d).send_keys(Keys.ENTER).perform()
        self.aspetta("return !document.getElementById('msgbox').open")
        self.assertFalse(self.el("Command1").get_property("disabled"))

    # --- panels and the menu

    def aperto(self, pannello):
        return self.visibile(pannello)

    def test_pannelli_col_puntatore(self):
        self.el("mnfile").click()
        self.el("mnprince").click()
        self.assertTrue(self.aperto("Frame3"))
        self.el("mninfo").click()
        self.assertTrue(self.aperto("Frame4"))
        immagine = self.schermata("pannelli")
        # The information panel's rule: a black line over a white one, as the table draws them.
        x0, y0 = self.origine()
        x, y = int(x0 + px(1088) + 40), int(y0 + px(1733) + px(1425))
        self.assertEqual([immagine.getpixel((x, y)), immagine.getpixel((x, y + 1))],
                         [(0, 0, 0), (255, 255, 255)])
        for freccia, pannello in [("Image1", "Frame4"), ("Command3", "Frame3")]:
            azioni = ActionChains(self.d)
            azioni.click_and_hold(self.el(freccia)).perform()
            self.assertIn("premuto", self.el(freccia).get_attribute("class"))
            self.assertTrue(self.aperto(pannello))
            ActionChains(self.d).release().perform()
            self.assertNotIn("premuto", self.el(freccia).get_attribute("class"))
            self.assertFalse(self.aperto(pannello))

    def tocca(self, id, prima_di_alzare=None):
        r = self.d.execute_script(
            f"return document.getElementById('{id}').getBoundingClientRect().toJSON()")
        punto = {"x": r["left"] + r["width"] / 2, "y": r["top"] + r["height"] / 2}
        self.d.execute_cdp_cmd("Input.dispatchTouchEvent",
                               {"type": "touchStart", "touchPoints": [punto]})
        if prima_di_alzare:
            prima_di_alzare()
        self.d.execute_cdp_cmd("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})

    def test_pannelli_col_dito(self):
        self.tocca("mninfo")
        self.aspetta("return !document.getElementById('Frame4').hidden")
        self.tocca("mnfile")
        self.aspetta("return !document.getElementById('menuFile').hidden")
        self.tocca("mnprince")
        self.aspetta("return !document.getElementById('Frame3').hidden")
        premuto = []
        for freccia, pannello in [("Image1", "Frame4"), ("Command3", "Frame3")]:
            self.tocca(freccia, lambda: premuto.append(
                "premuto" in self.el(freccia).get_attribute("class")))
            self.aspetta(f"return document.getElementById('{pannello}').hidden")
        self.assertEqual(premuto, [True, True])

    def test_pannelli_coi_tasti(self):
        primo = self.d.execute_script("return document.activeElement.value")
        self.assertEqual(primo, "0")  # the first option has the focus at start
        tasti = ActionChains(self.d)
        tasti.send_keys(Keys.F10, Keys.ARROW_DOWN, Keys.ENTER).perform()
        self.assertTrue(self.aperto("Frame3"))
        self.assertEqual(self.d.execute_script("return document.activeElement.id"), "Command3")
        ActionChains(self.d).send_keys(Keys.F10, Keys.ARROW_RIGHT, Keys.ENTER).perform()
        self.assertTrue(self.aperto("Frame4"))
        self.assertEqual(self.d.execute_script("return document.activeElement.id"), "Image1")
        # Tab goes round the open panels' arrows only.
        ActionChains(self.d).send_keys(Keys.TAB).perform()
        self.assertEqual(self.d.execute_script("return document.activeElement.id"), "Command3")
        ActionChains(self.d).send_keys(Keys.TAB).perform()
        self.assertEqual(self.d.execute_script("return document.activeElement.id"), "Image1")
        ActionChains(self.d).send_keys(Keys.ESCAPE).perform()
        self.assertFalse(self.aperto("Frame4"))
        self.assertEqual(self.d.execute_script("return document.activeElement.id"), "Command3")
        ActionChains(self.d).key_down(Keys.SPACE).perform()
        self.assertIn("premuto", self.el("Command3").get_attribute("class"))
        ActionChains(self.d).key_up(Keys.SPACE).perform()
        self.assertFalse(self.aperto("Frame3"))
        self.assertEqual(self.d.execute_script("return document.activeElement.value"), "0")
        # Return closes it too, and the arrow does not stay pressed: the key is let go after
        # the panel, and the focus with it, has gone.
        ActionChains(self.d).send_keys(Keys.F10, Keys.ARROW_RIGHT, Keys.ENTER, Keys.ENTER).perform()
        self.assertFalse(self.aperto("Frame4"))
        self.el("mninfo").click()
        self.assertNotIn("premuto", self.el("Image1").get_attribute("class"))
        ActionChains(self.d).send_keys(Keys.ESCAPE).perform()
        self.scegli("Option1", 0)
        # Arrows within a group choose.
        ActionChains(self.d).send_keys(Keys.ARROW_DOWN).perform()
        self.assertEqual(self.el("lblPSLiquido").text, "Densità= 13,6")

    # --- what a screen reader is given

    def albero(self):
        voci = []
        for nodo in self.d.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]:
            if nodo.get("ignored"):
                continue
            proprieta = {p["name"]: p["value"].get("value") for p in nodo.get("properties", [])}
            voci.append((nodo.get("role", {}).get("value"), nodo.get("name", {}).get("value"),
                         nodo.get("description", {}).get("value"), proprieta))
        return voci

    def nodo(self, ruolo, nome):
        trovati = [v for v in self.albero() if v[0] == ruolo and v[1] == nome]
        self.assertEqual(len(trovati), 1, f"{ruolo} {nome!r}")
        return trovati[0]

    def annuncio(self):
        return self.el("annunci").get_attribute("textContent").strip()

    def test_albero_accessibile_e_annunci(self):
        self.nodo("menuitem", "File")
        self.nodo("menuitem", "?")
        self.assertEqual(self.nodo("status", "")[3]["live"], "polite")
        self.nodo("group", "Liquido")
        self.nodo("group", "Materiale")
        self.assertTrue(self.nodo("button", "OK")[3].get("disabled"))
        self.nodo("image", "Vasca con acqua")
        opzioni = [v[1] for v in self.albero() if v[0] == "radio"]
        self.assertEqual(opzioni, ["Acqua", "Mercurio", "Olio", "Benzina",
                                   "Ghiaccio", "Ferro", "Rame", "Legno"])
        self.scegli("Option1", 2)
        self.aspetta("return document.getElementById('annunci').textContent")
        self.assertEqual(self.annuncio(), "Densità= 0,9")
        self.nodo("image", "Vasca con olio")
        self.nodo("image", "Campione di olio")
        self.scegli("Option2", 1)
        self.aspetta("return document.getElementById('annunci').textContent.includes('7,86')")
        self.assertEqual(self.annuncio(), "OK disponibile. Densità = 7,86")
        self.assertFalse(self.nodo("button", "OK")[3].get("disabled"))
        self.nodo("image", "Corpo di ferro")
        self.nodo("image", "Campione di ferro")
        self.el("Command1").click()
        self.aspetta("return document.getElementById('annunci').textContent"
                     ".includes('Esperimento avviato')")
        self.box()
        box = self.nodo("dialog", "Il corpo affonda")
        self.assertEqual(box[2], AFFONDA[1])
        self.assertTrue(box[3].get("modal"))
        self.chiudi_box()
        self.el("mnfile").click()
        self.el("mnprince").click()
        self.nodo("group", "Spiegazione")
        self.assertTrue(self.nodo("button", "Indietro")[3].get("focused"))
        self.aspetta("return document.getElementById('annunci').textContent"
                     ".startsWith('Un corpo immerso')")
        self.assertEqual(self.annuncio(), self.el("Label1").get_attribute("textContent"))
        self.el("mnfile").click()
        self.el("mnexit").click()
        self.box()
        domanda = self.nodo("alertdialog", "Uscita")
        self.assertEqual(domanda[2], "Sei sicuro di voler uscire?")
        self.nodo("button", "Sì")
        self.nodo("button", "No")
        self.el("msgNo").click()

    # --- leaving

    def test_uscita_no_poi_si(self):
        self.scegli("Option1", 0)
        self.scegli("Option2", 1)
        self.el("Command1").click()  # a sinking run with its sound, which "Sì" must stop
        chiede = ("const e = new Event('beforeunload', { cancelable: true }); "
                  "dispatchEvent(e); return e.defaultPrevented")
        self.assertTrue(self.d.execute_script(chiede), "closing the tab would not ask")
        self.el("mnfile").click()
        self.el("mnexit").click()
        self.assertEqual(self.box(), ("Uscita", "Sei sicuro di voler uscire?"))
        self.assertEqual(self.d.execute_script("return document.activeElement.id"), "msgSi")
        self.assertTrue(self.visibile("msgIcona"))
        self.schermata("domanda-uscita")
        self.el("msgNo").click()
        self.aspetta("return !document.getElementById('msgbox').open")
        self.assertTrue(self.d.execute_script("return !!document.getElementById('form1')"))
        self.assertEqual(self.box(), AFFONDA)  # the run went on under the question
        self.chiudi_box()
        self.el("mnfile").click()
        self.el("mnexit").click()
        self.box()
        ActionChains(self.d).send_keys(Keys.ENTER).perform()  # "Sì" is the default
        self.aspetta("return !document.getElementById('form1')")
        self.assertEqual(self.el("fine").text,
                         "Il programma è terminato. Per avviarlo di nuovo, ricarica la pagina.")
        self.assertFalse(self.d.execute_script("return Idrovela.intervallo"))
        self.assertIsNone(self.d.execute_script("return Idrovela.sorgente"))
        self.assertFalse(self.d.execute_script(chiede), "an ended program still asks")
        self.schermata("fine")


class PaginaInInglese(unittest.TestCase):
    def test_densita_col_punto(self):
        d = browser("en-US")
        try:
            d.get(URL)
            aspetta(d, AVVIATA, "no start")
            d.find_element(By.CSS_SELECTOR, "#Option1_1 input").click()
            self.assertEqual(d.find_element(By.ID, "lblPSLiquido").text, "Densità= 13.6")
            self.assertEqual(d.get_log("browser"), [])
        finally:
            d.quit()


class Silenzioso(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *argomenti):
        pass


class Sito(unittest.TestCase):
    """The hosted folder, served from 127.0.0.1: the page keeps itself with its service worker,
    is installable, and starts again from a reload with the server gone."""

    def test_installabile_e_senza_server(self):
        cartella = PAGINA.parent / "sito"
        gestore = functools.partial(Silenzioso, directory=cartella)
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), gestore)
        threading.Thread(target=server.serve_forever, daemon=True).start()
        indirizzo = f"http://127.0.0.1:{server.server_address[1]}/"
        d = browser(in_rete=True)
        try:
            d.get(indirizzo)
            aspetta(d, "return !!navigator.serviceWorker.controller",
                    "the service worker does not take over", 20)
            manifesto = d.execute_cdp_cmd("Page.getAppManifest", {})
            self.assertEqual(manifesto.get("errors"), [])
            self.assertEqual(json.loads(manifesto["data"])["name"], "Idrovela")
            self.assertEqual(d.execute_cdp_cmd("Page.getInstallabilityErrors", {})
                             ["installabilityErrors"], [])
            server.shutdown()
            server.server_close()
            d.execute_script("removeEventListener('beforeunload', Idrovela.chiediUscita)")
            d.refresh()
            aspetta(d, AVVIATA, "no start without the server")
            d.find_element(By.CSS_SELECTOR, "#Option1_2 input").click()
            self.assertEqual(d.find_element(By.ID, "lblPSLiquido").text, "Densità= 0,9")
            self.assertEqual(d.get_log("browser"), [])
        finally:
            d.quit()
            server.server_close()


if __name__ == "__main__":
    suona_dove_nessuno_registra()
    unittest.main(verbosity=2)
