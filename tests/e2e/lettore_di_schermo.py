#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The whole lesson with the real screen reader: Orca speaking Italian through speech-dispatcher
# and espeak-ng, the program driven by keys alone, and at every step what Orca's own record
# says it spoke. Two windows take the same lesson: the Linux program, and the browser page in a
# real Chromium window. Run inside a private session bus:
#
#   dbus-run-session -- lettore_di_schermo.py PROGRAM ARTEFACTS_FOLDER
#   dbus-run-session -- lettore_di_schermo.py --pagina PAGE.html ARTEFACTS_FOLDER
#
# It starts its own X server, window manager, accessibility bus, sound server, speech server
# and Orca, and stops them whatever happens. The speech plays in real time into the sound
# server's null sink, as it would through a loudspeaker, so that a later utterance cuts an
# earlier one short as it would for a pupil. Every wait is for an event (a line of Orca's
# record, the page's state) and bounded: a key is pressed once Orca has recorded that it handled
# the one before, and a step ends once what it must say has been said and Orca's record shows
# none of the events queued since left to handle. The transcript of the lesson is kept as
# lettore_di_schermo.txt (lettore_di_schermo_pagina.txt for the page) in the artefacts' folder.
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

from orca import settings as impostazioni_di_orca
from albero_accessibile import aspetta, avvia_x_e_bus, controlla, ferma

LOCALE = "it_IT.UTF-8"
ATTESA_VOCE = float(os.environ.get("IDROVELA_ATTESA_VOCE", "30"))  # seconds for what a step must say; a loaded machine speaks late
ATTESA_CODA = 60.0  # seconds for Orca to get through the events a step has queued
ATTESA_AVVIO = 240.0  # seconds for Orca to start listening and speak

# Words that Orca or Qt would say if something were left in English.
INGLESI = re.compile(r"\b(space|return|enter|button|push|radio button|selected|checked|unavailable|"
                     r"dimmed|panel|dialog|alert|menu bar|label|image|filler|frame|window|"
                     r"graphic|press|yes|cancel|close|back)\b", re.IGNORECASE)


class Parlato:
    """What Orca speaks, line by line as its record is written: the record goes to a terminal,
    which makes Orca's Python write it line by line instead of in blocks. Orca's own utterances
    are its SPEECH OUTPUT lines; what it reads of a page with say-all shows only in the lines
    of what it hands the speech server."""

    RIGA = re.compile(r"^(\d\d:\d\d:\d\d\.\d+) - SPEECH OUTPUT: '(.*?)' ?(\{.*)?$")
    SERVER = re.compile(r"SPEECH DISPATCHER: Speaking '<speak>(.*?)</speak>'")
    # Orca's record of a key it has handled, and of its queue of the applications' events:
    # each queued, handled, or pruned in a flood.
    TASTO = "^^^^^ PROCESS ATSPI_KEY_PRESSED_EVENT"
    ACCODATO = "EVENT MANAGER: Queueing "
    GESTITO = "^^^^^ PROCESS OBJECT EVENT "
    POTATI = re.compile(r"EVENT MANAGER: (\d+) events pruned")
    FERMATA = "ORCA: Switching active mode from say-all to"  # a say-all stopped by a key
    ORA = re.compile(r"^\s+time=(\d+\.\d+)$")  # of a keyboard event, by Orca's clock

    def __init__(self, registro):
        self.frasi = []  # (monotonic time, text)
        self.voce = []  # (monotonic time, text handed to the speech server)
        self.avviato = threading.Event()  # Orca listens to the applications
        self.tasti = 0  # keys pressed, as Orca has handled them
        self.al_tasto = []  # how much had been said when Orca handled each key pressed
        self.in_coda = 0  # events queued and not yet handled
        self.ora_tasto = 0.0
        self.fermate = 0
        self.accodati = []  # the events Orca queued, as its record names them
        self.ultimo_tasto = None  # as the harness pressed it
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
                self._riga(riga.decode("utf-8", "replace").rstrip("\r"))

    def _riga(self, riga):
        if "ORCA: Starting registry" in riga:  # from now on Orca follows what happens
            self.avviato.set()
        if self.TASTO in riga:
            with self._lock:
                self.tasti += 1
                self.al_tasto.append((len(self.frasi), len(self.voce)))
        elif self.ACCODATO in riga:
            with self._lock:
                self.in_coda += 1
                self.accodati.append(riga.split(self.ACCODATO, 1)[1])
        elif self.GESTITO in riga:
            with self._lock:
                self.in_coda -= 1
        elif self.FERMATA in riga:
            with self._lock:
                self.fermate += 1
        elif self.ORA.match(riga):
            with self._lock:
                self.ora_tasto = float(self.ORA.match(riga).group(1))
        else:
            potati = self.POTATI.search(riga)
            if potati:
                with self._lock:
                    self.in_coda -= int(potati.group(1))
        trovata = self.RIGA.match(riga)
        if trovata and trovata.group(2).strip():
            with self._lock:
                self.frasi.append((time.monotonic(), trovata.group(2)))
        trovata = self.SERVER.search(riga)
        if trovata:
            testo = re.sub(r"<[^>]*>", "", trovata.group(1)).replace("&apos;", "'")
            testo = testo.replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&")
            if testo.strip():
                with self._lock:
                    self.voce.append((time.monotonic(), testo.strip()))

    def da(self, inizio, voce=False):
        with self._lock:
            return [testo for _, testo in (self.voce if voce else self.frasi)[inizio:]]

    def quante(self, voce=False):
        with self._lock:
            return len(self.voce if voce else self.frasi)

    def premuti(self):
        with self._lock:
            return self.tasti

    def detto_al_tasto(self, numero, voce=False):
        """How much had been said when Orca handled the key pressed numero-th from the start."""
        with self._lock:
            return self.al_tasto[numero][1 if voce else 0]

    def eventi(self, inizio=0):
        with self._lock:
            return self.accodati[inizio:]

    def coda(self):
        with self._lock:
            return self.in_coda

    def chiudi(self):
        self._registro.close()


def attendi(condizione, attesa):
    scadenza = time.monotonic() + attesa
    while not condizione():
        if time.monotonic() > scadenza:
            return False
        time.sleep(0.05)
    return True


def tasti(parlato, *sequenza):
    """Each key (a chord presses each of its keys) once Orca has handled the one before. A key
    pressed again is a new press, as a pupil's is, not the double press that Orca sees in the
    same key pressed twice in a short while."""
    for tasto in sequenza:
        if tasto == parlato.ultimo_tasto:
            attendi(lambda: time.time() > parlato.ora_tasto
                    + impostazioni_di_orca.doubleClickTimeout, 10)
        parlato.ultimo_tasto = tasto
        prima = parlato.premuti()
        subprocess.run(["xdotool", "key", tasto], check=True, timeout=10)
        if not attendi(lambda: parlato.premuti() >= prima + len(tasto.split("+")),
                       ATTESA_VOCE):
            raise AssertionError("Orca did not record the key %s" % tasto)


class Lezione:
    def __init__(self, parlato, trascrizione, misura):
        self.parlato = parlato
        self.trascrizione = trascrizione
        self.misura = misura
        self.errori = []
        self.aperto = None  # the step whose utterances may still come

    def chiudi(self, fine=None):
        """What the last step made Orca say, up to where Orca handled the next step's first key
        (fine) or up to now, said just once where it must be and in Italian."""
        if not self.aperto:
            return
        titolo, inizio, voce, una_volta = self.aperto
        self.aperto = None
        frasi = self.parlato.da(inizio, voce)
        if fine is not None:
            frasi = frasi[:max(0, fine - inizio)]
        for a in una_volta:
            if len(re.findall(a, " | ".join(frasi))) > 1:
                self.errori.append("%s: %r was said more than once" % (titolo, a))
        for f in frasi:
            if INGLESI.search(f):
                self.errori.append("%s: English in %r" % (titolo, f))

    def passo(self, titolo, sequenza, attesi=(), una_volta=(), voce=False, verifica=None,
              dal=None, attesa=None, ferma=False, eventi=()):
        """Presses the keys, waits for every expected phrase (a regular expression) and then
        for Orca to have handled every event it queued, and notes what was said; the phrases
        una_volta must be said just once, up to the next step's first key. With voce, what is
        checked is the text handed to the speech server (a say-all); verifica, called at the end, returns what is wrong, if anything; dal counts what was
        said from an earlier utterance than the step's first; attesa, in seconds, is for a step
        that reads long (a say-all), instead of the usual wait; with ferma, the step's keys must
        stop a say-all, and the step ends once Orca has; eventi are regular expressions for
        events of the application that Orca must have queued (as its record names them) before
        the step ends, such as the focus following where Orca moved."""
        inizio = self.parlato.quante(voce) if dal is None else dal
        fermate = self.parlato.fermate
        primo_evento = len(self.parlato.eventi())
        primo_tasto = self.parlato.premuti()
        tasti(self.parlato, *sequenza)
        if sequenza and self.aperto:
            self.chiudi(self.parlato.detto_al_tasto(primo_tasto, self.aperto[2]))
        else:
            self.chiudi()

        def detto():
            return " | ".join(self.parlato.da(inizio, voce))

        mancanti = lambda: [a for a in attesi if not re.search(a, detto())]
        attendi(lambda: not mancanti(), attesa or ATTESA_VOCE)
        if ferma and not attendi(lambda: self.parlato.fermate > fermate, ATTESA_VOCE):
            self.errori.append("%s: the say-all did not stop" % titolo)
        for evento in eventi:
            if not attendi(lambda: any(re.search(evento, e)
                                       for e in self.parlato.eventi(primo_evento)), ATTESA_VOCE):
                self.errori.append("%s: Orca queued no %r" % (titolo, evento))
        if not attendi(lambda: self.parlato.coda() <= 0, ATTESA_CODA):
            self.errori.append("%s: Orca still had %d events queued" % (titolo,
                                                                       self.parlato.coda()))
        frasi = self.parlato.da(inizio, voce)
        righe = ["== %s  [%s]" % (titolo, " ".join(sequenza) or "-")] + \
            ["   " + f for f in frasi]
        print("\n".join(righe))
        sys.stdout.flush()
        self.trascrizione.write("\n".join(righe) + "\n")
        self.trascrizione.flush()
        for a in mancanti():
            self.errori.append("%s: %r was not said" % (titolo, a))
        # What the step said more than once, or in English, is checked once the next step's
        # first key has been handled: what Orca says until then comes from this step.
        self.aperto = (titolo, inizio, voce, una_volta)
        sbaglio = verifica() if verifica else None
        if sbaglio:
            self.errori.append("%s: %s" % (titolo, sbaglio))
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


def casa_della_voce(cartella, aperti):
    """A home for Orca and speech-dispatcher, and a private sound server whose default output
    is a null sink: the speech plays there in real time (a speech server without an output
    makes Orca wait for ever; one writing into a file speaks everything at once)."""
    casa = os.path.join(cartella, "casa")
    configurazione = os.path.join(casa, ".config", "speech-dispatcher")
    os.makedirs(configurazione)
    runtime = os.path.join(cartella, "run")
    os.makedirs(runtime, mode=0o700)
    with open(os.path.join(configurazione, "speechd.conf"), "w") as conf:
        conf.write('AudioOutputMethod "pulse"\n'
                   'AddModule "espeak-ng" "sd_espeak-ng" "espeak-ng.conf"\n'
                   'DefaultModule espeak-ng\nDefaultLanguage "it"\n'
                   'LogDir "%s"\n' % cartella)
    suono = dict(os.environ, XDG_RUNTIME_DIR=runtime, HOME=casa)
    suono.pop("PULSE_SERVER", None)
    aperti.append(subprocess.Popen(
        ["pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
         "--load=module-null-sink sink_name=voce", "--load=module-native-protocol-unix"],
        env=suono, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    server = "unix:" + os.path.join(runtime, "pulse", "native")
    aspetta(lambda: subprocess.run(["pactl", "get-default-sink"], capture_output=True, text=True,
                                   env=dict(suono, PULSE_SERVER=server),
                                   timeout=10).stdout.strip() == "voce",
            "the private sound server", 60)
    return {"HOME": casa, "XDG_CONFIG_HOME": os.path.join(casa, ".config"),
            "XDG_DATA_HOME": os.path.join(casa, ".local", "share"),
            "XDG_RUNTIME_DIR": runtime, "PULSE_SERVER": server}


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


# Orca will not start while any process of the same user is named orca, although each of these
# sessions has a display, buses and speech of its own: the tests of several builds run side by
# side, so Orca's launcher is run without that check.
LANCIA_ORCA = """import importlib.machinery, importlib.util, sys
caricatore = importlib.machinery.SourceFileLoader("lancia_orca", "/usr/bin/orca")
lancia = importlib.util.module_from_spec(importlib.util.spec_from_loader("lancia_orca", caricatore))
caricatore.exec_module(lancia)
lancia.otherOrcas = lambda: []
sys.exit(lancia.main())"""


def avvia_orca(cartella, aperti, artefatti, registro):
    """The desktop of a blind pupil: X, a window manager, the accessibility bus, the sound and
    speech servers and Orca, in Italian; returns what Orca speaks once it listens."""
    os.environ.update(casa_della_voce(cartella, aperti))
    os.environ.update(locale_italiano(cartella))
    os.environ.update(LANG=LOCALE, LC_ALL=LOCALE, LANGUAGE="it")
    os.environ.pop("QT_QPA_PLATFORM", None)
    avvia_x_e_bus(aperti)
    aperti.append(subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL))
    if shutil.which("gsettings"):
        subprocess.run(["gsettings", "set", "org.gnome.desktop.interface",
                        "toolkit-accessibility", "true"], stderr=subprocess.DEVNULL, timeout=30)
    parlato = Parlato(os.path.join(artefatti, registro))
    preferenze = os.path.join(cartella, "orca")
    os.makedirs(preferenze)
    # A loaded machine has taken over a minute to get this far; an Orca that ends as it starts
    # (it has, without a word, on a busy machine) is started again, twice at most.
    for volta in range(3):
        uscita = open(os.path.join(cartella, "orca-%d.txt" % volta), "w+")
        orca = subprocess.Popen(["/usr/bin/python3", "-c", LANCIA_ORCA, "-u", preferenze,
                                 "--debug-file", parlato.percorso], stdout=uscita,
                                stderr=subprocess.STDOUT)
        aperti.append(orca)
        scadenza = time.monotonic() + ATTESA_AVVIO
        while not (parlato.avviato.is_set() and parlato.quante() > 0) \
                and orca.poll() is None:
            if time.monotonic() > scadenza:
                raise AssertionError("waited in vain for Orca's start and first words")
            time.sleep(0.1)
        if orca.poll() is None:
            return parlato
        uscita.seek(0)
        print("NOTE: Orca ended as it started, with status %s: %s"
              % (orca.returncode, uscita.read().strip()))
        parlato.avviato.clear()
    raise AssertionError("Orca ended as it started, three times")


def lezione_linux(lz, eseguibile, aperti):
    ambiente = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                    QT_QPA_PLATFORM="xcb")
    idrovela = subprocess.Popen([eseguibile], env=ambiente, stdout=subprocess.DEVNULL)
    aperti.append(idrovela)
    lezione(lz)
    try:
        idrovela.wait(20)
    except subprocess.TimeoutExpired:
        lz.errori.append("the program did not end after Sì")


def main():
    pagina = "--pagina" in sys.argv
    argomenti = [a for a in sys.argv[1:] if not a.startswith("--")]
    programma, artefatti = os.path.abspath(argomenti[0]), argomenti[1]
    misura = "--misura" in sys.argv
    nome = "lettore_di_schermo_pagina" if pagina else "lettore_di_schermo"
    os.makedirs(artefatti, exist_ok=True)
    cartella = tempfile.mkdtemp(prefix="idrovela-orca-")
    aperti = []
    parlato = None
    try:
        parlato = avvia_orca(cartella, aperti, artefatti, nome + "-orca.txt")
        with open(os.path.join(artefatti, nome + ".txt"), "w") as trascrizione:
            lz = Lezione(parlato, trascrizione, misura)
            if pagina:
                from lettore_della_pagina import lezione_pagina
                lezione_pagina(lz, programma, cartella)
            else:
                lezione_linux(lz, programma, aperti)
            lz.chiudi()
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
