# SPDX-License-Identifier: GPL-3.0-or-later
"""Chromium for the browser tests and benchmarks, set up in one place.

browser(): headless, with the network off, the console and the performance log kept, for the
page's tests; misura=True leaves out what a measure must not pay for (logs, network
emulation). finestra(): a real window, started as a pupil starts it, with the page as its
argument, and the driver attached to it afterwards, only to read the page's state."""
import json
import math
import pathlib
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMEDRIVER = "/usr/bin/chromedriver"
CHROMIUM = "/usr/bin/chromium"
# Nothing of the browser's own that would reach the network or speak up at start.
QUIETO = ["--no-sandbox", "--disable-dev-shm-usage", "--disable-background-networking",
          "--disable-component-update", "--no-first-run", "--disable-sync"]


def _profilo(cartella=None, prefisso="idrovela-chromium-"):
    return tempfile.mkdtemp(prefix=prefisso, dir=cartella)


def browser(lingua="it-IT", larghezza=800, altezza=600, in_rete=False, zoom=1, senza=(),
            misura=False):
    """zoom is the browser's own; senza names what the page finds missing, as in an older
    browser."""
    opzioni = webdriver.ChromeOptions()
    for flag in ["--headless=new", *QUIETO, "--lang=" + lingua,
                 f"--window-size={larghezza},{altezza}", "--user-data-dir=" + _profilo()]:
        opzioni.add_argument(flag)
    preferenze = {"intl.accept_languages": lingua}
    if zoom != 1:
        preferenze["partition.default_zoom_level"] = {"x": math.log(zoom) / math.log(1.2)}
    opzioni.add_experimental_option("prefs", preferenze)
    if not misura:
        opzioni.set_capability("goog:loggingPrefs", {"browser": "ALL", "performance": "ALL"})
    driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=opzioni)
    if not misura:
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.emulateNetworkConditions", {
            "offline": not in_rete, "latency": 0, "downloadThroughput": -1,
            "uploadThroughput": -1})
    if senza:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                               {"source": "\n".join(senza)})
    return driver


class Finestra:
    """A real Chromium window (a screen reader reads no headless browser) in Italian, opened on
    the page as a pupil opens a file, so that the page has the keys from the start; its
    renderer's accessibility on from the start, as a screen reader's presence turns it on.
    The driver is attached once the browser listens, and opens nothing itself."""

    def __init__(self, pagina, cartella, larghezza=800, altezza=600, attesa=120):
        profilo = _profilo(cartella)
        # What Chromium says of its accessibility bridge is the one witness of a failure to
        # reach the reader.
        self.registro = pathlib.Path(profilo, "uscita.txt")
        pathlib.Path(profilo, "Default").mkdir()
        pathlib.Path(profilo, "Default", "Preferences").write_text(
            json.dumps({"intl": {"accept_languages": "it-IT,it"}}))
        with self.registro.open("wb") as uscita:
            self.processo = subprocess.Popen(
                [CHROMIUM, *QUIETO, "--force-renderer-accessibility", "--lang=it-IT",
                 "--window-position=0,0", f"--window-size={larghezza},{altezza}",
                 "--remote-debugging-port=0", "--user-data-dir=" + profilo,
                 pathlib.Path(pagina).resolve().as_uri()],
                stdout=subprocess.DEVNULL, stderr=uscita)
        porta = pathlib.Path(profilo, "DevToolsActivePort")
        scadenza = time.monotonic() + attesa
        while not (porta.exists() and porta.read_text().count("\n") >= 1):
            if self.processo.poll() is not None or time.monotonic() > scadenza:
                self.chiudi()
                raise AssertionError("Chromium did not start listening")
            time.sleep(0.1)
        opzioni = webdriver.ChromeOptions()
        opzioni.debugger_address = "127.0.0.1:" + porta.read_text().split("\n")[0]
        try:
            self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=opzioni)
        except Exception:
            self.chiudi()
            raise

    def ultime_righe(self, quante=30):
        righe = self.registro.read_text(errors="replace").splitlines()
        return "\n".join(righe[-quante:])

    def chiudi(self):
        if getattr(self, "driver", None):
            try:
                self.driver.quit()
            except Exception:
                pass
        if self.processo.poll() is None:
            self.processo.terminate()
            try:
                self.processo.wait(10)
            except subprocess.TimeoutExpired:
                self.processo.kill()
                self.processo.wait()
