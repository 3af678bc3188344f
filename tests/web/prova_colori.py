#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The page in the colours a pupil's browser may impose: forced colours, as high contrast
gives them, dark and light, where every text takes the system's colours and stands out from
what lies behind it while the pictures keep theirs; and a dark colour scheme, under which the
page keeps its own light design to the pixel. Contrast is measured on screenshots as WCAG
defines it: 4.5:1 for text, 3:1 for the focus ring and the chosen option.

Environment: as prova_pagina.py.
"""
import collections
import io
import os
import sys
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import prova_pagina as pagina  # noqa: E402  the page's own set-up: Chromium, the wait, the URL

TESTO = 4.5
SEGNO = 3.0
VETRO = (192, 192, 192)  # the tank picture's grey above the liquid
ACQUA = (128, 255, 255)


def luminanza(colore):
    def lineare(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = colore[:3]
    return 0.2126 * lineare(r) + 0.7152 * lineare(g) + 0.0722 * lineare(b)


def rapporto(a, b):
    la, lb = luminanza(a), luminanza(b)
    return (max(la, lb) + 0.05) / (min(la, lb) + 0.05)


def misura(immagine, rettangolo, minimo):
    """The background is the rectangle's commonest colour; returns it, the contrast of the
    pixel that stands out most from it, and how many pixels reach the minimum."""
    x, y, larghezza, altezza = (round(v) for v in rettangolo)
    conta = collections.Counter(immagine.crop((x, y, x + larghezza, y + altezza)).getdata())
    sfondo = conta.most_common(1)[0][0]
    massimo, pixel = 1.0, 0
    for colore, quanti in conta.items():
        r = rapporto(colore, sfondo)
        massimo = max(massimo, r)
        if r >= minimo:
            pixel += quanti
    return sfondo, massimo, pixel


class Colori(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.d = pagina.browser()
        cls.d.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", pagina.SCHERMO)

    @classmethod
    def tearDownClass(cls):
        cls.d.quit()

    def setUp(self):
        self.d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": []})
        self.apri()

    def tearDown(self):
        self.assertEqual(self.d.get_log("browser"), [], "the console was not silent")

    def apri(self):
        self.d.execute_script(
            "if (typeof Idrovela !== 'undefined') removeEventListener('beforeunload', Idrovela.chiediUscita)")
        self.d.get(pagina.URL)
        pagina.aspetta(self.d, pagina.AVVIATA, self.id())

    def media(self, **caratteristiche):
        self.d.execute_cdp_cmd("Emulation.setEmulatedMedia", {"features": [
            {"name": nome.replace("_", "-"), "value": valore}
            for nome, valore in caratteristiche.items()]})
        # The page's own answer: the browser applies the emulation before it returns.
        for nome, valore in caratteristiche.items():
            self.assertTrue(self.d.execute_script(
                f"return matchMedia('({nome.replace('_', '-')}: {valore})').matches"), nome)

    def scegli(self, id):
        self.d.find_element(pagina.By.CSS_SELECTOR, f"#{id} input").click()

    def schermata(self, nome):
        png = self.d.get_screenshot_as_png()
        (pagina.ARTEFATTI / f"colori-{nome}.png").write_bytes(png)
        return Image.open(io.BytesIO(png)).convert("RGB")

    def rettangolo(self, selettore):
        return self.d.execute_script(
            "const r = document.querySelector(arguments[0]).getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height]", selettore)

    def verifica(self, immagine, nome, selettore, minimo=TESTO, pixel=12, parte=(1, 1)):
        """parte: the share of the width and of the height, from the top left, that holds
        the text alone, where a picture or a line lies over the rest."""
        x, y, larghezza, altezza = self.rettangolo(selettore)
        sfondo, massimo, quanti = misura(
            immagine, (x, y, larghezza * parte[0], altezza * parte[1]), minimo)
        descrizione = f"{nome}: {massimo:.2f}:1 over {sfondo}, {quanti} pixels"
        print(descrizione)
        self.assertTrue(massimo >= minimo and quanti >= pixel, descrizione)

    def pixel_della_finestra(self, immagine, x, y):
        fx, fy, _, _ = self.rettangolo("#finestra")
        scala = self.d.execute_script("return Adatta.scala")
        return immagine.getpixel((round(fx + (x + 0.5) * scala), round(fy + (y + 0.5) * scala)))

    def lezione(self, nome):
        """Water and iron chosen, then each panel: every text measured against what lies
        behind it, the pictures' pixels, the chosen option and the focus."""
        self.scegli("Option1_0")
        self.scegli("Option2_1")
        immagine = self.schermata(nome)
        for id in ("lblPSLiquido", "lblPSMateriale", "Command1", "mnfile", "mninfo"):
            self.verifica(immagine, f"{nome} {id}", f"#{id}")
        for id in ("Frame1", "Frame2"):
            self.verifica(immagine, f"{nome} {id}'s caption", f"#{id} > legend", pixel=30)
        for gruppo in ("Option1", "Option2"):
            for indice in range(4):
                self.verifica(immagine, f"{nome} {gruppo}_{indice}", f"#{gruppo}_{indice} > span")
        # The pictures keep their colours: the tank's glass and water.
        self.assertEqual(self.pixel_della_finestra(immagine, 150, 60), VETRO)
        self.assertEqual(self.pixel_della_finestra(immagine, 60, 200), ACQUA)
        # The chosen option's circle against an unchosen one's.
        scelto = immagine.crop([round(v) for v in self.quadro("#Option2_1 > input")])
        altro = immagine.crop([round(v) for v in self.quadro("#Option2_2 > input")])
        punto = sum(rapporto(a, b) >= SEGNO for a, b in zip(scelto.getdata(), altro.getdata()))
        print(f"{nome} the chosen option's dot: {punto} pixels at 3:1")
        self.assertGreaterEqual(punto, 8)
        # The keyboard's focus on "OK": what its ring adds stands out from what lay there.
        prima = immagine.crop([round(v) for v in self.quadro("#Command1", 4)])
        pagina.ActionChains(self.d).send_keys(pagina.Keys.TAB).perform()
        pagina.aspetta(self.d, "return document.activeElement.id === 'Command1'", self.id())
        dopo = self.schermata(nome + "-fuoco").crop([round(v) for v in self.quadro("#Command1", 4)])
        fuoco = sum(rapporto(a, b) >= SEGNO for a, b in zip(dopo.getdata(), prima.getdata()))
        print(f"{nome} OK's focus: {fuoco} pixels at 3:1")
        self.assertGreaterEqual(fuoco, 20)
        # Each panel's texts above or beside its arrow and lines; the arrow, black, most of its
        # 1174 pixels at this scale standing out from what lies round it.
        for menu, pannello, testi, freccia in (
                ("mnprince", "Frame3", (("Label1", (1, 0.8)),), "Command3"),
                ("mninfo", "Frame4", (("Label3", (1, 0.75)), ("Label2", (0.75, 1))), "Image1")):
            if menu == "mnprince":
                self.d.find_element(pagina.By.ID, "mnfile").click()
            self.d.find_element(pagina.By.ID, menu).click()
            pagina.aspetta(self.d, f"return !document.getElementById('{pannello}').hidden",
                           self.id())
            immagine = self.schermata(f"{nome}-{pannello}")
            # Forced, the caption takes the system's colours; else it keeps the design's red
            # on the panel's cyan, 3.6:1, as in every window.
            self.verifica(immagine, f"{nome} {pannello}'s caption", f"#{pannello} > legend",
                          minimo=TESTO if nome.startswith("forzati") else SEGNO, pixel=30)
            for id, parte in testi:
                self.verifica(immagine, f"{nome} {id}", f"#{id}", parte=parte)
            self.verifica(immagine, f"{nome} {freccia}", f"#{freccia} > img", SEGNO, 900)

    def quadro(self, selettore, margine=0):
        x, y, larghezza, altezza = self.rettangolo(selettore)
        return (x - margine, y - margine, x + larghezza + margine, y + altezza + margine)

    def test_colori_forzati_scuri(self):
        self.media(forced_colors="active", prefers_color_scheme="dark")
        self.lezione("forzati-scuri")

    def test_colori_forzati_chiari(self):
        self.media(forced_colors="active", prefers_color_scheme="light")
        self.lezione("forzati-chiari")

    def test_schema_scuro_tiene_il_disegno_chiaro(self):
        chiaro = self.schermata("chiaro")
        self.media(prefers_color_scheme="dark")
        scuro = self.schermata("scuro")
        self.assertEqual(list(scuro.getdata()), list(chiaro.getdata()),
                         "a dark scheme changed the page's pixels")
        self.assertEqual(self.pixel_della_finestra(scuro, 2, 2), (199, 199, 199))
        self.lezione("scuro")


if __name__ == "__main__":
    pagina.ARTEFATTI.mkdir(parents=True, exist_ok=True)
    pagina.suona_dove_nessuno_registra()
    unittest.main(verbosity=2)
