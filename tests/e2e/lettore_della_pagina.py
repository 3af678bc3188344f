# SPDX-License-Identifier: GPL-3.0-or-later
# The lesson of lettore_di_schermo.py in the browser: the page opened from file:// in a real
# Chromium window, which Orca reads as a pupil's browser. Chromium is started on the page as a
# pupil opens the file, and the keys go to the window as a pupil's would (xdotool); the driver
# only reads the page's state.
import os
import re
import sys

from albero_accessibile import aspetta

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from cromo import Finestra  # noqa: E402

SPIEGAZIONE = ("Un corpo immerso in un fluido riceve una spinta dal basso verso l'alto pari al "
               "peso del fluido spostato, per cui se la densità del fluido è minore di quella "
               "del corpo, esso affonda; se le densità sono uguali, il corpo rimane sospeso "
               "nel fluido; se la densità del fluido è maggiore il corpo galleggia.")
INFORMAZIONI = "Scegli il liquido e il materiale, poi premi OK."
AFFONDA = r"Il corpo affonda perché la sua densità è maggiore di quella del liquido"
GALLEGGIA = r"Il corpo galleggia perché la sua densità è minore di quella del liquido"
DENSITA = r"[Dd]ensità ?=? ?"  # as the label shows it, or the words alone
FINE = "Il programma è terminato. Per avviarlo di nuovo, ricarica la pagina."


def lezione_pagina(lz, pagina, cartella):
    inizio = lz.parlato.quante(voce=True)
    finestra = Finestra(pagina, cartella)
    try:
        d = finestra.driver
        aspetta(lambda: d.execute_script("return typeof Idrovela !== 'undefined'"
                                         " && Idrovela.pronto"), "the program's start", 120)
        passi(lz, d, inizio)
        lz.chiudi()  # before the browser goes
    except AssertionError:
        print("Chromium's last lines:\n" + finestra.ultime_righe())
        raise
    finally:
        finestra.chiudi()


def a_esci(lz):
    """To Esci, a key at a time after the reader has said where it is, as a pupil goes: a key
    pressed before the reader has followed the focus into the menu is taken by its browse mode."""
    lz.passo("F10 enters the menus", ["F10"], [r"File"])
    lz.passo("Down opens File", ["Down"], [r"Idrovela"])
    lz.passo("Up to Esci", ["Up"], [r"Esci"])


def modo(lz, voluto):
    """Orca+A switches between browse and focus mode, and says which it entered: once, or twice
    when Orca last said it was in voluto already."""
    altro = {"navigazione": "focus", "focus": "navigazione"}[voluto]
    detti = re.findall(r"Modalità (navigazione|focus)\b", " | ".join(lz.parlato.da(0)))
    for verso in ([altro] if detti and detti[-1] == voluto else []) + [voluto]:
        lz.passo("Orca+A to %s mode" % verso, ["Insert+a"], [r"Modalità %s(?! adesiva)" % verso])


def passi(lz, d, inizio):
    def fuoco_su(atteso):
        def verifica():
            qui = d.execute_script("const e = document.activeElement;"
                                   "return e === document.body ? 'the document' : e.id || e.name")
            return None if qui == atteso else "the focus is on %s, not on %s" % (qui, atteso)
        return verifica

    ok = fuoco_su("Command1")
    # Orca reads the page as it loads, from the first option, where the page put the focus; the
    # page has the keys, as it has when a pupil opens the file.
    primo = fuoco_su("Option1")
    lz.passo("the page opens", [], [r"^(?:(?!File).)*Acqua"], dal=inizio, voce=True,
             verifica=lambda: primo() or (None if d.execute_script("return document.hasFocus()")
                                          else "the page does not have the keys"))
    lz.passo("Space chooses water", ["space"], [r"selezionato", DENSITA + r"1\b"],
             [DENSITA + r"1\b"])
    lz.passo("Tab to the materials", ["Tab"], [r"Ghiaccio"])
    lz.passo("Down to iron", ["Down"], [r"Ferro"])
    lz.passo("Space chooses iron, which arms OK", ["space"],
             [r"selezionato", DENSITA + "7,86", r"OK disponibile"], [DENSITA, r"OK"])
    lz.passo("Tab to OK", ["Tab"], [r"OK pulsante"], [r"OK"])
    lz.passo("Space starts a run: iron sinks", ["space"],
             [r"[Ee]sperimento avviato", AFFONDA], [AFFONDA])
    lz.passo("Return closes the verdict", ["Return"], [r"OK pulsante"], verifica=ok)
    lz.passo("Shift+Tab back to iron", ["shift+Tab"], [r"Ferro", DENSITA + "7,86"])
    # In browse mode the arrows move Orca's reading, and Space chooses.
    lz.passo("Up to ice", ["Up"], [r"Ghiaccio"])
    lz.passo("Space chooses ice", ["space"], [r"selezionato", DENSITA + "0,92"], [DENSITA])
    lz.passo("Tab to OK", ["Tab"], [r"OK pulsante"])
    for volta in range(1, 4):
        lz.passo("Space: ice floats (%d of 3)" % volta, ["space"], [GALLEGGIA], [GALLEGGIA])
        lz.passo("Return closes the verdict", ["Return"], [r"OK pulsante"], verifica=ok)
    lz.passo("F10 enters the menus", ["F10"], [r"File"])
    lz.passo("Down opens File", ["Down"], [r"Idrovela"])
    lz.passo("Return opens the explanation", ["Return"], [r"Spiegazione", re.escape(SPIEGAZIONE)])
    lz.passo("Space closes it", ["space"], [r"OK pulsante"], verifica=ok)
    lz.passo("F10 enters the menus", ["F10"], [r"File"])
    lz.passo("Right to Informazioni", ["Right"], [r"Informazioni"])
    lz.passo("Return opens the information", ["Return"],
             [r"Informazioni", re.escape(INFORMAZIONI)])
    lz.passo("Escape closes it", ["Escape"], [r"OK pulsante"], verifica=ok)
    a_esci(lz)
    lz.passo("Return asks", ["Return"], [r"Sei sicuro di voler uscire\?", r"Sì"],
             [r"Uscita", r"Sei sicuro"])
    lz.passo("Tab to No", ["Tab"], [r"\bNo\b"])
    lz.passo("Space answers No", ["space"], [r"OK pulsante"], verifica=ok)
    # Browse mode, as a pupil reads the page: from the top, line by line, the chosen option with
    # its density, then with say-all.
    modo(lz, "navigazione")
    lz.passo("To the top", ["ctrl+Home"], [r"File"])
    lz.passo("Down leaves the menu bar", ["Down"], [r"Vasca"])
    lz.passo("Down to the liquids", ["Down"], [r"Liquido"])
    # Orca gives the focus to the option it comes to, and follows it there only once the
    # browser says so, which must come before the keys of the next step.
    lz.passo("Down to water", ["Down"], [r"Acqua"],
             eventi=[r"^object:state-changed:focused \[radio button \| Acqua\] \(1,"])
    # Say-all reads the whole window to its end, after boxes have come and gone: the menus, the
    # tank, the groups with every option and the one chosen, "OK", each sample and its density.
    lz.passo("Say-all from the top", ["ctrl+Home", "KP_Add"],
             [r"File.*Informazioni.*Vasca.*Liquido.*Acqua\W+selezionato.*Benzina.*Materiale"
              r".*Ghiaccio\W+selezionato.*Legno.*OK.*Campione di acqua.*Densità= 1"
              r".*Campione di ghiaccio.*Densità = 0,92"], voce=True, attesa=120)
    lz.passo("Control stops it", ["ctrl"], ferma=True)
    # Where the reading stopped Orca moves only its own caret, and the browser's focus may stay
    # on "File", where the say-all began: there F10 does nothing. The line above, read with Up,
    # takes the focus out of the menu bar, as a pupil's reading back does.
    lz.passo("Up reads the line above", ["Up"], [DENSITA])
    aspetta(lambda: d.execute_script("return !document.getElementById('barra')"
                                     ".contains(document.activeElement)"),
            "the focus to leave the menu bar after the say-all", 30)
    a_esci(lz)
    lz.passo("Return asks again", ["Return"], [r"Sei sicuro di voler uscire\?"])
    lz.passo("Space answers Sì", ["space"], [re.escape(FINE)])
    # Nothing said before was said again when a box or panel closed.
    for titolo, testo in [("the explanation", SPIEGAZIONE), ("the information", INFORMAZIONI)]:
        volte = sum(f.count(testo) for f in lz.parlato.da(0))
        if volte > 1:
            lz.errori.append("%s was said %d times" % (titolo, volte))
