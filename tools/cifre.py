#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The figures the documentation quotes, kept in one place: docs/figures.md.

  tools/cifre.py sizes --web build-web --windows build-windows [--check]
      writes the table of the published files' sizes into docs/figures.md, or, with --check,
      fails when a size there is more than 3 % off the built file's, or when a figure the
      build or the benchmark can contradict (a size, a time in ms, a ratio) stands in prose
      anywhere else in README.md or docs/, or when a link between them leads nowhere.
  tools/cifre.py section NAME < output
      puts the table of a benchmark's output, dated, into the section NAME of docs/figures.md
      (bench/run and bench/web/run do this after a full run).
"""
import argparse
import datetime
import pathlib
import re
import subprocess
import sys

TOP = pathlib.Path(__file__).resolve().parent.parent
FIGURES = TOP / "docs" / "figures.md"
TOLLERANZA = 0.03
# The published files, by the build folder that makes them.
FILES = [
    ("web", "idrovela.html", "the browser program, one page"),
    ("web", "Idrovela-1.00-web.zip", "the same page, zipped"),
    ("windows", "Idrovela.exe", "the Windows program"),
    ("windows", "Idrovela-1.00-setup.exe", "the Windows installer"),
    ("windows", "Idrovela-1.00.msi", "the Windows Installer package"),
    ("windows", "Idrovela-1.00-portable.zip", "the portable zip"),
]
# A size, a time or a ratio written out: what the figures page holds and prose must not.
LINK = re.compile(r"\]\(([^)#\s]*)(#[^)\s]*)?\)")
IN_PROSA = re.compile(r"\b\d[\d.,]*\s?(KB|KiB|MB|MiB|ms)\b|\bx\d+\.\d+\b|\b\d+\.\d+\s?x\b")
# Times that are fixed, not measured: the descent's tick, when the benchmark reads the memory,
# the kernel's accounting tick.
FISSI = {"30 ms", "500 ms", "10 ms"}


def sezione(testo, nome, corpo):
    inizio, fine = f"<!-- {nome} -->", f"<!-- /{nome} -->"
    a, b = testo.find(inizio), testo.find(fine)
    if a < 0 or b < a:
        sys.exit(f"docs/figures.md has no section {nome}")
    return testo[: a + len(inizio)] + "\n" + corpo + testo[b:]


def ancore(doc):
    """The anchors a Markdown renderer gives the page's headings."""
    titoli = re.findall(r"^#+\s+(.*)$", doc.read_text(encoding="utf-8"), re.M)
    return {re.sub(r"[^\w\- ]", "", t.strip().lower()).replace(" ", "-") for t in titoli}


def commit():
    fatto = subprocess.run(["git", "-C", str(TOP), "rev-parse", "--short", "HEAD"],
                           capture_output=True, text=True, check=False)
    return fatto.stdout.strip() or "unknown"


def macchina():
    modelli = re.findall(r"^model name\s*:\s*(.*)$",
                         pathlib.Path("/proc/cpuinfo").read_text(encoding="utf-8"), re.M)
    carico = pathlib.Path("/proc/loadavg").read_text(encoding="utf-8").split()[0]
    return (f"{len(modelli)} x {modelli[0] if modelli else 'unknown processor'}, "
            f"load average {carico} at the end")


def kib(n):
    return f"{n / 1024:.0f} KiB"


def tabella(cartelle):
    righe = ["| file | what it is | size |", "|---|---|---|"]
    for cartella, nome, cosa in FILES:
        righe.append(f"| `{nome}` | {cosa} | {kib((cartelle[cartella] / nome).stat().st_size)} |")
    return "\n".join(righe) + "\n"


def controlla(cartelle):
    errori = []
    testo = FIGURES.read_text(encoding="utf-8")
    for cartella, nome, _ in FILES:
        trovato = re.search(rf"\| `{re.escape(nome)}` \|[^|]*\| (\d+) KiB \|", testo)
        if not trovato:
            errori.append(f"docs/figures.md gives no size of {nome}")
            continue
        citato = int(trovato.group(1)) * 1024
        vero = (cartelle[cartella] / nome).stat().st_size
        if abs(citato - vero) > TOLLERANZA * vero:
            errori.append(f"{nome}: docs/figures.md says {kib(citato)}, the build made {kib(vero)}"
                          " (tools/cifre.py sizes writes it anew)")
    for doc in [TOP / "README.md", *sorted((TOP / "docs").glob("*.md"))]:
        if doc == FIGURES:
            continue
        for numero, riga in enumerate(doc.read_text(encoding="utf-8").splitlines(), 1):
            for link in LINK.finditer(riga):
                meta, ancora = link.group(1), (link.group(2) or "#")[1:]
                if meta.startswith(("http:", "https:", "mailto:")):
                    continue
                bersaglio = (doc.parent / meta).resolve() if meta else doc
                if not bersaglio.exists():
                    errori.append(f"{doc.relative_to(TOP)}:{numero}: no file {meta}")
                elif ancora and bersaglio.suffix == ".md" and ancora not in ancore(bersaglio):
                    errori.append(f"{doc.relative_to(TOP)}:{numero}: no heading #{ancora}")
            for m in IN_PROSA.finditer(riga):
                if m.group(0) in FISSI:
                    continue
                errori.append(f"{doc.relative_to(TOP)}:{numero}: a figure in prose, "
                              f"'{m.group(0)}': quote docs/figures.md instead")
    return errori


def main():
    parser = argparse.ArgumentParser()
    sub = parser.add_subparsers(dest="comando", required=True)
    dimensioni = sub.add_parser("sizes")
    dimensioni.add_argument("--web", required=True, type=pathlib.Path)
    dimensioni.add_argument("--windows", required=True, type=pathlib.Path)
    dimensioni.add_argument("--check", action="store_true")
    banco = sub.add_parser("section")
    banco.add_argument("nome")
    args = parser.parse_args()

    if args.comando == "sizes":
        cartelle = {"web": args.web, "windows": args.windows}
        if args.check:
            errori = controlla(cartelle)
            print("\n".join(errori) or "every figure matches the build")
            return 1 if errori else 0
        FIGURES.write_text(sezione(FIGURES.read_text(encoding="utf-8"), "sizes",
                                   tabella(cartelle)), encoding="utf-8")
        return 0

    uscita = sys.stdin.read().splitlines()
    # The last line is the JSON of every figure, for machines; the page keeps the table.
    tabella_banco = [r for r in uscita if not r.startswith("{")]
    while tabella_banco and not tabella_banco[-1].strip():
        tabella_banco.pop()
    corpo = (f"Measured on {datetime.date.today().isoformat()} at commit {commit()}, "
             f"{macchina()}:\n\n```\n"
             + "\n".join(tabella_banco) + "\n```\n")
    FIGURES.write_text(sezione(FIGURES.read_text(encoding="utf-8"), args.nome, corpo),
                       encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
