#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What the browser program really plays: Chromium plays into the private PulseAudio server's
null sink (PULSE_SERVER, sink IDROVELA_SERVER_AUDIO, as tools/with-sound-server.sh gives them)
and its monitor is recorded with parec. A sinking run plays the committed WAVE, all of it; a
floating run plays the beep and no bubbling. How soon the sound follows the click is
bench/web's figure, not a check here."""
import os
import subprocess
import threading
import time
import unittest
import wave

import numpy

from prova_pagina import AVVIATA, CHIUSO, RISORSE, URL, aspetta, browser
from selenium.webdriver.common.by import By

FREQUENZA = 11025
SILENZIO = 0.002  # the null sink's floor, well under the softest sound the page plays
ATTESA = 60.0  # seconds for a sound to be recorded, which only a fault takes


class Registrazione:
    def __init__(self):
        monitor = os.environ["IDROVELA_SERVER_AUDIO"] + ".monitor"
        self.parec = subprocess.Popen(
            ["parec", "--device=" + monitor, "--format=s16le", f"--rate={FREQUENZA}",
             "--channels=1", "--latency-msec=10"], stdout=subprocess.PIPE)
        self.dati = bytearray()
        self.lettore = threading.Thread(target=self.leggi, daemon=True)
        self.lettore.start()
        # Steady once a tenth of a second has come in.
        fine = time.monotonic() + 5
        while len(self.dati) < FREQUENZA // 10 * 2:
            if time.monotonic() > fine:
                raise RuntimeError("parec records nothing from " + monitor)
            time.sleep(0.01)
        self.inizio = len(self.dati)

    def leggi(self):
        while True:
            blocco = self.parec.stdout.read1(4096)
            if not blocco:
                return
            self.dati += blocco

    def campioni(self):
        byte = bytes(self.dati[self.inizio:])
        return numpy.frombuffer(byte[:len(byte) // 2 * 2], dtype="<i2").astype(
            numpy.float64) / 32768

    def finito(self, almeno):
        """Whether a sound has been recorded that lasted at least almeno samples from its
        first, and then a quarter of a second of silence."""
        x = self.campioni()
        forti = numpy.flatnonzero(numpy.abs(x) > 10 * SILENZIO)
        coda = FREQUENZA // 4
        return len(forti) > 0 and len(x) >= forti[0] + almeno + coda \
            and rms(x[-coda:]) < SILENZIO

    def aspetta(self, almeno, cosa):
        fine = time.monotonic() + ATTESA
        while not self.finito(almeno):
            if time.monotonic() > fine:
                raise AssertionError("waited in vain for " + cosa)
            time.sleep(0.05)

    def ferma(self):
        self.parec.terminate()
        self.parec.wait(5)
        self.lettore.join(5)
        self.parec.stdout.close()
        byte = bytes(self.dati[self.inizio:self.inizio + (len(self.dati) - self.inizio) // 2 * 2])
        return numpy.frombuffer(byte, dtype="<i2").astype(numpy.float64) / 32768


def bolle():
    with wave.open(str(RISORSE / "suono" / "bolle.wav")) as w:
        campioni = numpy.frombuffer(w.readframes(w.getnframes()), dtype=numpy.uint8)
    return (campioni.astype(numpy.float64) - 128) / 128


# The best normalised correlation of the reference anywhere in the recording, and where.
def correlazione(registrazione, riferimento):
    n = len(registrazione) + len(riferimento)
    dimensione = 1 << (n - 1).bit_length()
    incrocio = numpy.fft.irfft(numpy.fft.rfft(registrazione, dimensione)
                               * numpy.conj(numpy.fft.rfft(riferimento, dimensione)), dimensione)
    ritardo = int(numpy.argmax(incrocio[:len(registrazione)]))
    pezzo = registrazione[ritardo:ritardo + len(riferimento)]
    rif = riferimento[:len(pezzo)]
    valore = numpy.dot(pezzo, rif) / (numpy.linalg.norm(pezzo) * numpy.linalg.norm(rif) + 1e-12)
    return valore, ritardo


def rms(x):
    return float(numpy.sqrt(numpy.mean(x * x))) if len(x) else 0.0


class Suono(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.d = browser()

    @classmethod
    def tearDownClass(cls):
        cls.d.quit()

    def corsa(self, liquido, materiale, almeno, cosa):
        self.d.execute_script(
            "if (typeof Idrovela !== 'undefined') "
            "removeEventListener('beforeunload', Idrovela.chiediUscita)")
        self.d.get(URL)
        aspetta(self.d, AVVIATA, 'no start')
        self.d.find_element(By.CSS_SELECTOR, f"#Option1_{liquido} input").click()
        self.d.find_element(By.CSS_SELECTOR, f"#Option2_{materiale} input").click()
        # The device opened at the first choice; give it the time it takes to start.
        self.d.execute_script("return Idrovela.audio.resume()")
        registrazione = Registrazione()
        self.d.find_element(By.ID, "Command1").click()
        aspetta(self.d, "return document.getElementById('msgbox').open", "no verdict", ATTESA)
        registrazione.aspetta(almeno, cosa)
        registrato = registrazione.ferma()
        self.suona_ancora = self.d.execute_script("return !!Idrovela.sorgente")
        self.d.find_element(By.ID, "msgOk").click()
        self.assertEqual(self.d.get_log("browser"), [])
        return registrato

    def test_affonda_con_le_bolle_intere(self):
        riferimento = bolle()
        registrato = self.corsa(0, 1, len(riferimento), "the whole bubbling")
        # A busy machine lets the browser's audio run dry now and then, which puts a gap into
        # the recording: the WAVE is found piece by piece, each where it fits best.
        pezzi, ritardi = [], []
        lunghezza = int(0.3 * FREQUENZA)
        for inizio in range(0, len(riferimento) - lunghezza, lunghezza):
            pezzo = riferimento[inizio:inizio + lunghezza]
            if rms(pezzo) < 0.03:
                continue  # the soft clicks match anything
            valore, trovato = correlazione(registrato, pezzo)
            pezzi.append(valore)
            ritardi.append(trovato - inizio)
        ritardo = int(numpy.median(ritardi))
        ritardi = [r for v, r in zip(pezzi, ritardi) if v > 0.8]  # where the pieces were found
        # A gap only ever delays what follows it: each piece plays after the one before.
        scarti = [b - a for a, b in zip(ritardi, ritardi[1:])]
        fine = ritardi[-1] + len(riferimento)
        print(f"sinking run: {len(pezzi)} pieces of 0.3 s correlate "
              f"{' '.join(f'{v:.2f}' for v in pezzi)}; started "
              f"{ritardo / FREQUENZA * 1000:.0f} ms into the recording, "
              f"gaps {(ritardi[-1] - ritardi[0]) / FREQUENZA * 1000:.0f} ms in all")
        self.assertGreater(numpy.median(pezzi), 0.9)
        self.assertGreaterEqual(sum(v > 0.8 for v in pezzi), len(pezzi) * 3 // 4)
        self.assertGreaterEqual(min(scarti, default=0), -FREQUENZA // 100,
                                "pieces out of order: %s" % scarti)
        # All of it, and then nothing: it lasts as long as the WAVE, gaps aside.
        self.assertGreater(rms(registrato[fine - FREQUENZA // 4:fine]), 0.01, "stopped early")
        self.assertLess(rms(registrato[fine + FREQUENZA // 10:]), SILENZIO,
                        "plays on after the end")

    def test_galleggia_in_silenzio_col_bip(self):
        # The beep lasts 0.15 s; nothing is left to play once it has.
        registrato = self.corsa(0, 0, FREQUENZA // 10, "the beep")
        self.assertFalse(self.suona_ancora, "a sound was started besides the beep")
        valore, _ = correlazione(registrato, bolle())
        print(f"floating run: correlation with the bubbling {valore:.3f}")
        self.assertLess(valore, 0.3)
        spettro = numpy.abs(numpy.fft.rfft(registrato))
        frequenze = numpy.fft.rfftfreq(len(registrato), 1 / FREQUENZA)
        self.assertGreater(rms(registrato), 0.001, "no beep")
        self.assertAlmostEqual(frequenze[int(numpy.argmax(spettro))], 880, delta=20)

    def test_dopo_una_sospensione_le_bolle_si_sentono(self):
        """The system suspends the sound device between two runs; the second is heard all the
        same."""
        riferimento = bolle()
        self.d.execute_script(
            "if (typeof Idrovela !== 'undefined') "
            "removeEventListener('beforeunload', Idrovela.chiediUscita)")
        self.d.get(URL)
        aspetta(self.d, AVVIATA, 'no start')
        self.d.find_element(By.CSS_SELECTOR, "#Option1_0 input").click()
        self.d.find_element(By.CSS_SELECTOR, "#Option2_1 input").click()
        self.d.find_element(By.ID, "Command1").click()
        aspetta(self.d, "return document.getElementById('msgbox').open", "no first verdict", 30)
        self.d.find_element(By.ID, "msgOk").click()
        aspetta(self.d, CHIUSO, "the first box stays")
        stato = self.d.execute_async_script(
            "const fatto = arguments[arguments.length - 1];"
            "Idrovela.audio.suspend().then(() => fatto(Idrovela.audio.state));")
        self.assertEqual(stato, "suspended")

        registrazione = Registrazione()
        self.d.find_element(By.ID, "Command1").click()
        # The bubbling's own end, which a device left suspended never reaches.
        self.d.execute_script(
            "const s = Idrovela.sorgente; window.bolleFinite = false;"
            "if (s) s.addEventListener('ended', () => { window.bolleFinite = true; });")
        finite = True
        try:
            aspetta(self.d, "return window.bolleFinite", "the bubbling never ends", 20)
        except AssertionError:
            finite = False
        registrato = registrazione.ferma()
        self.assertTrue(finite, "the run after the suspension is silent: the device is "
                        + self.d.execute_script("return Idrovela.audio.state"))
        lunghezza = int(0.3 * FREQUENZA)
        pezzi = [correlazione(registrato, riferimento[i:i + lunghezza])[0]
                 for i in range(0, len(riferimento) - lunghezza, lunghezza)
                 if rms(riferimento[i:i + lunghezza]) >= 0.03]
        print(f"run after a suspension: {len(pezzi)} pieces of 0.3 s correlate "
              f"{' '.join(f'{v:.2f}' for v in pezzi)}")
        self.assertGreater(numpy.median(pezzi), 0.9)
        aspetta(self.d, "return document.getElementById('msgbox').open", "no second verdict", 30)
        self.d.find_element(By.ID, "msgOk").click()
        self.assertEqual(self.d.get_log("browser"), [])


if __name__ == "__main__":
    unittest.main(verbosity=2)
