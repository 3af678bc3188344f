#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# The built program as a screen reader finds it over AT-SPI: roles, names and actions of its
# accessible tree at start, after a choice, with each panel open, and the back arrows' press
# action closing their panels. Run inside a private session bus:
#
#   dbus-run-session -- albero_accessibile.py PROGRAM
#
# It starts its own X server and accessibility bus and stops them, and the program, whatever
# happens. Every wait is bounded.
import os
import signal
import subprocess
import sys
import time

import pyatspi

ATTESA = 20.0  # seconds, for anything to appear or change


def aspetta(condizione, cosa, attesa=ATTESA):
    scadenza = time.monotonic() + attesa
    while True:
        try:
            valore = condizione()
        except Exception:  # an object that went away while it was read
            valore = None
        if valore:
            return valore
        if time.monotonic() > scadenza:
            raise AssertionError("waited in vain for " + cosa)
        time.sleep(0.1)


def visibile(oggetto):
    return oggetto.getState().contains(pyatspi.STATE_SHOWING)


def azione_di(oggetto):
    try:
        return oggetto.queryAction()
    except NotImplementedError:
        return None


def azioni(oggetto):
    azione = azione_di(oggetto)
    return [azione.getName(i) for i in range(azione.nActions)] if azione else []


def figli(oggetto):
    return [oggetto.getChildAtIndex(i) for i in range(oggetto.childCount)]


def righe(oggetto, livello=0):
    """The tree as a screen reader reads it: what shows, in order, with the press actions."""
    riga = "  " * livello + "%s %r" % (oggetto.getRoleName(), oggetto.name)
    if "Press" in azioni(oggetto):
        riga += " [Press]"
    elenco = [riga]
    for figlio in figli(oggetto):
        if visibile(figlio):
            elenco += righe(figlio, livello + 1)
    return elenco


def cerca(oggetto, ruolo, nome):
    for figlio in figli(oggetto):
        if figlio.getRoleName() == ruolo and figlio.name == nome:
            return figlio
        trovato = cerca(figlio, ruolo, nome)
        if trovato:
            return trovato
    return None


def premi(oggetto, nome_azione):
    azione = azione_di(oggetto)
    for i in range(azione.nActions if azione else 0):
        if azione.getName(i) == nome_azione:
            azione.doAction(i)
            return
    raise AssertionError("%s %r has no action %s" % (oggetto.getRoleName(), oggetto.name,
                                                     nome_azione))


def controlla(condizione, messaggio):
    if not condizione:
        raise AssertionError(messaggio)


def stampa(titolo, albero):
    print("== " + titolo)
    print("\n".join(righe(albero)))
    sys.stdout.flush()


def esperimento_di(applicazione):
    finestra = aspetta(lambda: [f for f in figli(applicazione) if f.name == "Idrovela"],
                       "the window")[0]
    return finestra, aspetta(lambda: cerca(finestra, "filler", "Esperimento"), "the client area")


def sequenza(oggetto):
    return [(f.getRoleName(), f.name) for f in figli(oggetto) if visibile(f)]


def prova(programma):
    finestra, client = programma
    stampa("at start", finestra)
    controlla(sequenza(client) == [
        ("image", "Vasca con acqua"),
        ("panel", "Liquido"), ("panel", "Materiale"), ("push button", "OK"),
        ("image", "Nessun liquido scelto"), ("label", "Densità del liquido"),
        ("image", "Nessun materiale scelto"), ("label", "Densità del materiale")],
        "the client area at start: %r" % sequenza(client))
    liquido = cerca(client, "panel", "Liquido")
    controlla(sequenza(liquido) == [("radio button", n)
                                    for n in ("Acqua", "Mercurio", "Olio", "Benzina")],
              "the liquids: %r" % sequenza(liquido))
    nascosti = [(f.getRoleName(), f.name) for f in figli(client) if not visibile(f)]
    controlla(not nascosti, "hidden controls in the tree: %r" % nascosti)

    premi(cerca(liquido, "radio button", "Acqua"), "Toggle")
    premi(cerca(client, "radio button", "Ferro"), "Toggle")
    aspetta(lambda: cerca(client, "label", "Densità = 7,86")
            or cerca(client, "label", "Densità = 7.86"), "the iron's density")
    ferro = aspetta(lambda: cerca(client, "image", "Corpo di ferro"), "the iron body")
    misura = ferro.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    controlla((misura.width, misura.height) == (64, 64), "the iron body's size: %r"
              % ((misura.width, misura.height),))
    stampa("after Acqua and Ferro", finestra)
    controlla(sequenza(client)[:2] == [("image", "Vasca con acqua"), ("image", "Corpo di ferro")],
              "the tank and its body: %r" % sequenza(client))
    controlla(("image", "Campione di ferro") in sequenza(client), "the iron sample")

    barra = cerca(finestra, "menu bar", "")
    for nome, ruolo_pannello, nome_pannello, contenuto in (
            ("Idrovela", "dialog", "Spiegazione", ["label"]),
            ("?", "dialog", "Informazioni", ["label", "label"])):
        voce = cerca(barra, "menu item", nome)
        controlla(voce is not None, "the menu item %r" % nome)
        premi(voce, azioni(voce)[0])
        pannello = aspetta(lambda: (lambda p: p if p and visibile(p) else None)(
            cerca(client, ruolo_pannello, nome_pannello)), "the panel " + nome_pannello)
        stampa("with the panel %s open" % nome_pannello, finestra)
        # What lies under a panel is out of reach of the keys, and of the screen reader too.
        controlla(sequenza(client) == [(ruolo_pannello, nome_pannello)],
                  "the client area under %s: %r" % (nome_pannello, sequenza(client)))
        dentro = sequenza(pannello)
        controlla([r for r, _ in dentro] == contenuto + ["push button"],
                  "inside %s: %r" % (nome_pannello, dentro))
        freccia = figli(pannello)[-1]
        controlla(freccia.name == "Indietro" and "Press" in azioni(freccia),
                  "the back arrow: %r %r" % (freccia.name, azioni(freccia)))
        if nome_pannello == "Informazioni":
            testi = [n for _, n in dentro[:2]]
            controlla(testi[0].startswith("Scegli il liquido"), "the instruction first: %r"
                      % testi)
        premi(freccia, "Press")
        aspetta(lambda: not visibile(pannello), "the panel %s to close" % nome_pannello)
    stampa("with both panels closed again", finestra)


def avvia_x_e_bus(aperti, ambiente=None):
    """A private X server and accessibility bus for this session bus, their processes added to
    aperti; returns the display's name, also put in os.environ."""
    lettura, scrittura = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(scrittura), "-screen", "0",
                             "800x600x24", "-nolisten", "tcp", "-noreset"], pass_fds=(scrittura,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    aperti.append(xvfb)
    os.close(scrittura)
    with os.fdopen(lettura) as numero:
        display = ":" + numero.readline().strip()
    controlla(display != ":", "Xvfb did not start")
    os.environ["DISPLAY"] = display
    aspetta(lambda: subprocess.run(["xdpyinfo"], stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL, timeout=5).returncode == 0,
            "the X server " + display)
    bus = subprocess.Popen(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
                           env=ambiente, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    aperti.append(bus)
    return display


def ferma(aperti):
    for processo in reversed(aperti):
        if processo.poll() is None:
            processo.send_signal(signal.SIGTERM)
            try:
                processo.wait(5)
            except subprocess.TimeoutExpired:
                processo.kill()
                processo.wait()


def main():
    eseguibile = sys.argv[1]
    aperti = []
    try:
        avvia_x_e_bus(aperti)
        ambiente = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
                        QT_QPA_PLATFORM="xcb")
        idrovela = subprocess.Popen([eseguibile], env=ambiente, stdout=subprocess.DEVNULL)
        aperti.append(idrovela)
        desktop = pyatspi.Registry.getDesktop(0)
        applicazione = aspetta(lambda: [a for a in figli(desktop) if a and a.name == "Idrovela"],
                               "the program on the accessibility bus")[0]
        prova(esperimento_di(applicazione))
        controlla(idrovela.poll() is None, "the program ended")
        print("PASS")
        return 0
    except AssertionError as errore:
        print("FAIL: %s" % errore)
        return 1
    finally:
        ferma(aperti)


if __name__ == "__main__":
    sys.exit(main())
