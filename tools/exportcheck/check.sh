#!/bin/bash
# Reads an exported document card index back and compares every cell with the card's field
# as the index holds it, trimmed: the .xls and the .xlsx through a real spreadsheet program,
# the CSV through Python's csv module. Prints each cell that differs; exits 1 when any does.
#
#   bash tools/exportcheck/check.sh [BUILD_FOLDER] [COUNT]
#
# Needs LibreOffice (libreoffice-calc); it is not part of the program or of its tests.
# BUILD_FOLDER defaults to build/, COUNT (generated cards, besides two awkward ones) to 30.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../../build}"
count="${2:-30}"
command -v libreoffice >/dev/null || {
    echo "libreoffice is missing: apt-get install -y --no-install-recommends libreoffice-calc" >&2
    exit 2
}
cmake --build "$build" --target exportcheck >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work/runtime}"
status=0
for format in xls xlsx csv; do
    mkdir -p "$work/$format"
    exported="$("$build/exportcheck" "$work/$format" "$count" "$format")"
    read_back="$exported"
    if [ "$format" != csv ]; then
        # Its own profile, so a desktop session of LibreOffice is not disturbed; UTF-8 CSV,
        # comma-separated, every text quoted, cells as shown.
        HOME="$work" libreoffice --headless "-env:UserInstallation=file://$work/profile" \
            --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,true,true' \
            --outdir "$work/$format/csv" "$exported" >/dev/null 2>&1
        read_back="$work/$format/csv/Schedario_Documenti.csv"
    fi
    echo "$format:"
    python3 - "$work/$format/Schedario_Documenti.pro" "$read_back" "$format" <<'PY' || status=1
import csv, re, sys

# The document record: (field, capacity) in file order; each field is a length byte and
# its capacity in Windows-1252.
LAYOUT = [("Documento", 120), ("Protocollo", 30), ("Produttore", 50), ("IndirizzoPro", 120),
          ("DataPro", 10), ("Destinatario", 50), ("IndirizzoDes", 120), ("DataDes", 10),
          ("Oggetto", 250), ("Tipo", 50), ("Classificazione", 50), ("Fascicolo", 120),
          ("Formato", 50), ("Pagine", 30), ("Allegati", 250), ("Riferimenti", 250),
          ("Livello", 50), ("Software", 50), ("Luogo", 50), ("Soggetti", 250), ("Note", 250),
          ("Copia", 250), ("DaCompletare", 2), ("File01", 250), ("File02", 250),
          ("File03", 250), ("Desc01", 250), ("Desc02", 250), ("Desc03", 250)]
SIZE = sum(c + 1 for _, c in LAYOUT)
assert SIZE == 3991
# The file's columns, in order: the 22 fields before the digital copy, then the mark.
COLUMNS = [n for n, _ in LAYOUT[:21]] + ["DaCompletare"]
HEADERS = ["Documento", "Protocollo n.", "Produttore", "Indirizzo produttore",
           "Data produzione", "Destinatario", "Indirizzo destinatario", "Data ricezione",
           "Oggetto", "Tipo documento", "Classificazione", "Fascicolo contenitore", "Formato",
           "N. pagine", "Allegati", "Riferimenti", "Livello di riservatezza",
           "Software di produzione", "Luogo conservazione", "Soggetti citati nel documento",
           "Note", "Da completare"]

def trimmed(text):
    return text.strip("".join(chr(c) for c in range(33)))

def cards(path):
    data = open(path, "rb").read()
    for at in range(0, len(data) - SIZE + 1, SIZE):
        fields, pos = {}, at
        for name, capacity in LAYOUT:
            length = min(data[pos], capacity)
            fields[name] = trimmed(data[pos + 1:pos + 1 + length].decode("cp1252"))
            pos += capacity + 1
        yield fields

FORMAT = sys.argv[3]
expected = [HEADERS] + [[c[n] for n in COLUMNS] for c in cards(sys.argv[1])]
if FORMAT == "csv":
    # The program's own file: UTF-8 with its byte-order mark, ";" between cells. A cell that
    # a spreadsheet would run as a formula carries the apostrophe that marks it as text.
    raw = open(sys.argv[2], "rb").read()
    assert raw.startswith(b"\xef\xbb\xbf"), "no byte-order mark"
    with open(sys.argv[2], newline="", encoding="utf-8-sig") as f:
        read = list(csv.reader(f, delimiter=";"))
    expected = [[("'" + w if w[:1] in ("=", "+", "-", "@") else w) for w in row]
                for row in expected]
else:
    with open(sys.argv[2], newline="", encoding="utf-8") as f:
        read = list(csv.reader(f))

def collapsed(text):
    # Inside a cell a spreadsheet reads a run of blanks or tabs as one space, as HTML does.
    return re.sub(r"[ \t]+", " ", text)

def one_break(text):
    # A spreadsheet keeps a line break inside a cell as its own single line feed.
    return text.replace("\r\n", "\n")

faults = collapsed_cells = break_cells = 0
if len(read) != len(expected):
    print(f"rows: {len(read)} read, {len(expected)} expected")
    faults += 1
for r, (got, want) in enumerate(zip(read, expected)):
    if len(got) != len(want):
        print(f"row {r}: {len(got)} cells read, {len(want)} expected")
        faults += 1
    for c, (g, w) in enumerate(zip(got, want)):
        if g != w and FORMAT == "xls" and g == collapsed(w):
            collapsed_cells += 1
        elif g != w and FORMAT != "csv" and g == one_break(w):
            break_cells += 1
        elif g != w:
            print(f"row {r}, column {c + 1} ({HEADERS[c]}): read {g!r}, expected {w!r}")
            faults += 1
cells = sum(len(row) for row in expected)
print(f"{len(expected) - 1} cards, {cells} cells read back: "
      + ("every cell as the card holds it" if not faults else f"{faults} differences"))
if break_cells:
    print(f"{break_cells} cells with a CR LF line break read with the spreadsheet's own line break")
if collapsed_cells:
    print(f"{collapsed_cells} cells with a run of blanks or a tab read with one space, as HTML reads them")
sys.exit(1 if faults else 0)
PY
done
exit $status
