#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole lesson with the real screen reader: Orca speaking Italian through speech-dispatcher
# and espeak-ng, the built program driven by keys alone, and at every step what Orca's own
# record says it spoke. Run inside a private session bus:
#
#   dbus-run-session -- lettore_di_schermo.py PROGRAM ARTEFACTS_FOLDER
#
# It starts its own X server, window manager, accessibility bus, speech server and Orca, and
# stops them whatever happens; every wait is bounded. The transcript of the lesson is kept as
# lettore_di_schermo.txt in the artefacts' folder.
import os
import pty
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import threading
import time
import tty

from albero_accessibile import aspetta, avvia_x_e_bus, controlla, ferma

LOCALE = "it_IT.UTF-8"
ATTESA_VOCE = float(os.environ.get("IDROVELA_ATTESA_VOCE", "30"))  # seconds for what a step must say; a loaded machine speaks late
QUIETE = 1.5  # seconds without a new utterance that end a step
ATTESA_QUIETE = 15.0

# Words that Orca or Qt would say if something were left in English.
INGLESI = re.compile(r"\b(space|return|enter|button|push|radio button|selected|checked|unavailable|"
                     r"dimmed|panel|dialog|alert|menu bar|label|image|filler|frame|window|"
                     r"graphic|press|yes|cancel|close|back)\b", re.IGNORECASE)


class Parlato:
    """What Orca speaks, line by line as its record is written: the record goes to a terminal,
    which makes Orca's Python write it line by line instead of in blocks."""

    RIGA = re.compile(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*?)' ?(\{.*)?$")

    def __init__(self, registro):
        self.frasi = []  # (monotonic time, text)
        self._lock = threading.Lock()
        self._principale, self._secondario = pty.openpty()
        tty.setraw(self._secondario)
        self.percorso = os.ttyname(self._secondario)
        self._registro = open(registro, "wb")
        threading.Thread(target=self._leggi, daemon=True).start()

    def _leggi(self):
        resto = b""
        while True:
            try:
                blocco = os.read(self._principale, 65536)
            except OSError:
                return
            if not blocco:
                return
            self._registro.write(blocco)
            resto += blocco
            *righe, resto = resto.split(b"\n")
            for riga in righe:
                trovata = self.RIGA.match(riga.decode("utf-8", "replace").rstrip("\r"))
                if trovata and trovata.group(2).strip():
                    with self._lock:
                        self.frasi.append((time.monotonic(), trovata.group(2)))

    def da(self, inizio):
        with self._lock:
            return [testo for _, testo in self.frasi[inizio:]]

    def quante(self):
        with self._lock:
            return len(self.frasi)

    def ultima(self):
        with self._lock:
            return self.frasi[-1][0] if self.frasi else 0.0

    def chiudi(self):
        self._registro.close()


def tasti(*sequenza):
    for tasto in sequenza:
        if tasto.startswith("hold:"):  # a modifier held long enough for Qt to see it alone
            nome = tasto[5:]
            subprocess.run(["xdotool", "keydown", nome], check=True, timeout=10)
            time.sleep(0.15)
            subprocess.run(["xdotool", "keyup", nome], check=True, timeout=10)
        else:
            subprocess.run(["xdotool", "key", tasto], check=True, timeout=10)
        time.sleep(0.3)


class Lezione:
    def __init__(self, parlato, trascrizione, misura):
        self.parlato = parlato
        self.trascrizione = trascrizione
        self.misura = misura
        self.errori = []

    def passo(self, titolo, sequenza, attesi=(), una_volta=()):
        """Presses the keys, waits for every expected phrase (a regular expression) and then
        for quiet, and notes what was said; the phrases una_volta must be said just once."""
        inizio = self.parlato.quante()
        tasti(*sequenza)

        def detto():
            return " | ".join(self.parlato.da(inizio))

        mancanti = lambda: [a for a in attesi if not re.search(a, detto())]
        scadenza = time.monotonic() + ATTESA_VOCE
        while mancanti() and time.monotonic() < scadenza:
            time.sleep(0.1)
        scadenza = time.monotonic() + ATTESA_QUIETE
        while time.monotonic() - max(self.parlato.ultima(), 0) < QUIETE \
                and time.monotonic() < scadenza:
            time.sleep(0.1)
        frasi = self.parlato.da(inizio)
        righe = ["== %s  [%s]" % (titolo, " ".join(sequenza) or "-")] + \
            ["   " + f for f in frasi]
        print("\n".join(righe))
        sys.stdout.flush()
        self.trascrizione.write("\n".join(righe) + "\n")
        self.trascrizione.flush()
        for a in mancanti():
            self.errori.append("%s: %r was not said" % (titolo, a))
        for a in una_volta:
            if len(re.findall(a, detto())) > 1:
                self.errori.append("%s: %r was said more than once" % (titolo, a))
        for f in frasi:
            if INGLESI.search(f):
                self.errori.append("%s: English in %r" % (titolo, f))
        return frasi


def locale_italiano(cartella):
    """The Italian locale for Orca's own words: the system's, or one made here, without root."""
    elenco = subprocess.run(["locale", "-a"], capture_output=True, text=True).stdout.split()
    if any(n.lower().replace("-", "") == "it_it.utf8" for n in elenco):
        return {}
    percorso = os.path.join(cartella, "locale")
    os.makedirs(percorso)
    subprocess.run(["localedef", "-i", "it_IT", "-f", "UTF-8", os.path.join(percorso, LOCALE)],
                   check=True, timeout=120, stdout=subprocess.DEVNULL)
    return {"LOCPATH": percorso}


def casa_della_voce(cartella):
    """A home for Orca and speech-dispatcher: speech goes through ALSA into a file, since a
    speech server without an output makes Orca wait for ever."""
    casa = os.path.join(cartella, "casa")
    configurazione = os.path.join(casa, ".config", "speech-dispatcher")
    os.makedirs(configurazione)
    with open(os.path.join(casa, ".asoundrc"), "w") as asound:
        asound.write('pcm.!default {\n type file\n slave.pcm "null"\n file "%s"\n'
                     ' format "raw"\n}\n' % os.path.join(cartella, "voce.raw"))
    with open(os.path.join(configurazione, "speechd.conf"), "w") as conf:
        conf.write('AudioOutputMethod "alsa"\n'
                   'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
                   'DefaultModule espeak-ng\nDefaultLanguage "it"\n'
                   'LogDir "%s"\n' % cartella)
    runtime = os.path.join(cartella, "run")
    os.makedirs(runtime, mode=0o700)
    return {"HOME": casa, "XDG_CONFIG_HOME": os.path.join(casa, ".config"),
            "XDG_DATA_HOME": os.path.join(casa, ".local", "share"),
            "XDG_RUNTIME_DIR": runtime}


def lezione(lz):
    spiegazione = ("Un corpo immerso in un fluido riceve una spinta dal basso verso l'alto pari al "
                   "peso del fluido spostato, per cui se la densità del fluido è minore di quella "
                   "del corpo, esso affonda; se le densità sono uguali, il corpo rimane sospeso "
                   "nel fluido; se la densità del fluido è maggiore il corpo galleggia.")
    lz.passo("the window opens", [], [r"Acqua"])
    lz.passo("Space chooses water", ["space"], [r"selezionato", r"densità 1\b"],
             [r"densità 1\b"])
    lz.passo("Tab to the materials", ["Tab"], [r"Ghiaccio"])
    lz.passo("Down to iron", ["Down"], [r"Ferro"])
    lz.passo("Space chooses iron, which arms OK", ["space"],
             [r"selezionato", r"densità 7,86", r"OK disponibile"], [r"densità", r"OK"])
    lz.passo("Tab to OK", ["Tab"], [r"OK pulsante"])
    lz.passo("Space starts a run: iron sinks", ["space"],
             [r"esperimento avviato", r"Il corpo affonda perché la sua densità è maggiore di "
              r"quella del liquido"])
    lz.passo("Return closes the verdict", ["Return"], [r"OK pulsante"])
    lz.passo("Shift+Tab back to iron", ["shift+Tab"], [r"Ferro", r"densità 7,86"])
    lz.passo("Up chooses ice", ["Up"], [r"Ghiaccio", r"selezionato", r"densità 0,92"],
             [r"densità"])
    lz.passo("Tab to OK", ["Tab"], [r"OK pulsante"])
    lz.passo("Space: ice floats", ["space"],
             [r"Il corpo galleggia perché la sua densità è minore di quella del liquido"])
    lz.passo("Return closes the verdict", ["Return"], [r"OK pulsante"])
    lz.passo("F10 enters the menus", ["F10"], [r"File"])
    lz.passo("Down opens File", ["Down"], [r"Idrovela"])
    lz.passo("Return opens the explanation", ["Return"], [r"Spiegazione", re.escape(spiegazione)])
    lz.passo("Space closes it", ["space"], [r"OK pulsante"])
    lz.passo("F10 and Right to ?", ["F10", "Right"], [r"\?"])
    lz.passo("Return opens the information", ["Return"],
             [r"Informazioni", re.escape("Scegli il liquido e il materiale, poi premi OK.")])
    lz.passo("Escape closes it", ["Escape"], [r"OK pulsante"])
    lz.passo("F10, Down, Up to Esci", ["F10", "Down", "Up"], [r"Esci"])
    lz.passo("Return asks", ["Return"], [r"Sei sicuro di voler uscire\?", r"Sì"])
    lz.passo("Tab to No", ["Tab"], [r"\bNo\b"])
    lz.passo("Space answers No", ["space"], [r"OK pulsante"])
    lz.passo("Esci again", ["F10", "Down", "Up", "Return"], [r"Sei sicuro di voler uscire\?"])
    lz.passo("Space answers Sì", ["space"])


def main():
    eseguibile, artefatti = sys.argv[1], sys.argv[2]
    misura = "--misura" in sys.argv
    os.makedirs(artefatti, exist_ok=True)
    cartella = tempfile.mkdtemp(prefix="idrovela-orca-")
    aperti = []
    parlato = None
    try:
        os.environ.update(casa_della_voce(cartella))
        # Everything this lesson starts plays on the server that no test records: the
        # program's bubbling, and whatever sound the speech stack makes of its own.
        if os.environ.get("IDROVELA_SERVER_RUMORE"):
            os.environ["PULSE_SERVER"] = os.environ["IDROVELA_SERVER_RUMORE"]
        os.environ.update(locale_italiano(cartella))
        os.environ.update(LANG=LOCALE, LC_ALL=LOCALE, LANGUAGE="it")
        os.environ.pop("QT_QPA_PLATFORM", None)
        avvia_x_e_bus(aperti)
        aperti.append(subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL))
        if shutil.which("gsettings"):
            subprocess.run(["gsettings", "set", "org.gnome.desktop.interface",
                            "toolkit-accessibility", "true"], stderr=subprocess.DEVNULL,
                           timeout=30)
        parlato = Parlato(os.path.join(artefatti, "orca-debug.txt"))
        preferenze = os.path.join(cartella, "orca")
        os.makedirs(preferenze)
        aperti.append(subprocess.Popen(["orca", "-u", preferenze, "--debug-file",
                                        parlato.percorso], stdout=subprocess.DEVNULL,
                                       stderr=subprocess.DEVNULL))
        aspetta(lambda: parlato.quante() > 0, "Orca's first words", 60)
        time.sleep(2)
        ambiente = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                        QT_QPA_PLATFORM="xcb")
        with open(os.path.join(artefatti, "lettore_di_schermo.txt"), "w") as trascrizione:
            lz = Lezione(parlato, trascrizione, misura)
            idrovela = subprocess.Popen([eseguibile], env=ambiente, stdout=subprocess.DEVNULL)
            aperti.append(idrovela)
            lezione(lz)
            try:
                idrovela.wait(20)
            except subprocess.TimeoutExpired:
                lz.errori.append("the program did not end after Sì")
        for errore in lz.errori:
            print("%s: %s" % ("NOTE" if misura else "FAIL", errore))
        if lz.errori and not misura:
            return 1
        print("PASS")
        return 0
    except (AssertionError, subprocess.SubprocessError) as errore:
        print("FAIL: %s" % errore)
        return 1
    finally:
        ferma(aperti)
        pid = os.path.join(cartella, "run", "speech-dispatcher", "pid", "speech-dispatcher.pid")
        try:
            os.kill(int(open(pid).read().strip()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        if parlato:
            parlato.chiudi()
        shutil.rmtree(cartella, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
