#!/usr/bin/env bash
# Times `ruzez-links search --all` against the sqlite3 command-line tool
# running the equivalent LIKE query over the same 100,000 rows loaded into
# SQLite (the target: ruzez-links no slower than sqlite3, ratio 1.0 at most).
# Two tables: French prose whose every character is Latin-1, and the same prose
# as typeset French writes it, rich in ’ € œ « » (characters above U+00FF that
# Access stores in two bytes amid one-byte text). Both tools are whole
# processes, each opening its file afresh, timed alternately in one run so that
# a change of machine load falls on both. Not a test: figures depend on the
# machine.
#
#   benchmarks/search_vs_sqlite.sh [-n RUNS] [BUILD_DIR]     (default: 7 runs, build)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=7
if [ "${1:-}" = "-n" ]; then runs=$2; shift 2; fi
build=${1:-$root/build}
tool=$build/program/ruzez-links
sqlite=${SQLITE3:-/usr/bin/sqlite3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -x "$tool" ] || { echo "build ruzez-links first (cmake --build $build --target ruzez-links)" >&2; exit 1; }
[ -x "$sqlite" ] || { echo "the sqlite3 tool (package sqlite3) is needed" >&2; exit 1; }

# 100,000 rows of French prose, a few hundred characters each, seeded so that
# every run sees the same table. Titles repeat (about 12,000 distinct), as the
# course's pages are listed under several descriptions. Some words are common,
# a few are rare, so that the word sets below exercise both.
# The second table is the first with typographic apostrophes, quotes around
# some phrases, prices in euros and words written with œ.
python3 - "$work" <<'PY'
import csv, os, random, sys
random.seed(2026)
subjects = ["La pollution de l'air", "L'ozone troposphérique", "Le dioxyde d'azote",
            "Les particules fines", "Le monoxyde de carbone", "Le dioxyde de soufre",
            "L'effet de serre", "La couche d'ozone", "Le smog photochimique",
            "Les pluies acides", "La qualité de l'air en ville", "Le benzène",
            "Les oxydes d'azote", "La combustion du charbon", "Le chauffage au bois"]
verbs = ["provient surtout", "résulte en grande partie", "se forme l'été",
         "est mesuré chaque heure", "augmente fortement", "diminue lentement",
         "est surveillé par les stations", "dépend de la météo", "varie selon les saisons",
         "a des effets sur la santé", "irrite les bronches", "atteint des pics"]
complements = ["de la circulation automobile", "des usines et des centrales thermiques",
               "près des grands axes routiers", "dans les vallées encaissées",
               "lors des épisodes de forte chaleur", "à cause des moteurs diesel",
               "au-dessus de l'Antarctique", "dans l'atmosphère des villes",
               "pendant les hivers froids et sans vent", "selon les mesures du réseau",
               "à proximité des aéroports", "d'après les relevés des élèves"]
extras = ["Une expérience simple permet de le vérifier en classe.",
          "Le graphique montre l'évolution de la concentration en microgrammes par mètre cube.",
          "Les élèves comparent les courbes de deux stations.",
          "Cette page propose une fiche d'exercices corrigés.",
          "On y trouve un schéma légendé et un tableau de valeurs.",
          "Les seuils d'alerte sont rappelés à la fin du document.",
          "Le protocole de Kyoto fixe des objectifs de réduction des émissions.",
          "Les lichens servent de bio-indicateurs de la pollution.",
          "Le protocole de Montréal a interdit les CFC.",
          "Une carte indique les zones les plus touchées.",
          "Les asthmatiques sont les plus sensibles à ces épisodes.",
          "Le tramway et le vélo réduisent la pollution en centre-ville."]
rare = ["Les lichens crustacés disparaissent près des usines d'incinération.",
        "Une question porte sur l'ammoniac rejeté par l'élevage intensif.",
        "Le plomb de l'essence a été interdit en 2000."]
typeset = ["Un capteur coûte environ 150 € ; la « station mobile » en vaut 12 000 €.",
           "Le cœur et les poumons en sont l’œuvre la plus fragile.",
           "Les sœurs Curie ? Non : « l’œil du chercheur » suffit.",
           "Un nœud routier coûte 3 € par habitant et par an, d’après l’étude.",
           "Le bœuf et l’élevage émettent du méthane, « gaz à effet de serre »."]
titles = [f"{random.choice(subjects)} ({n})" for n in range(12000)]
rows = []
for i in range(1, 100001):
    sentences = [f"{random.choice(subjects)} {random.choice(verbs)} {random.choice(complements)}."
                 for _ in range(random.randint(1, 3))]
    sentences += random.sample(extras, random.randint(1, 3))
    if random.random() < 0.003:
        sentences.insert(random.randrange(len(sentences) + 1), random.choice(rare))
    rows.append([i, f"air/pagesair/page{i}.html#p{i % 7}", random.choice(titles), sentences])

def typeset_row(row):
    i, url, title, sentences = row
    text = [s.replace("'", "’") for s in sentences]
    for k, s in enumerate(text):
        words = s.split(" ")
        if random.random() < 0.3 and len(words) > 2:
            a = random.randrange(len(words) - 2)
            b = min(len(words) - 1, a + random.randint(1, 3))  # the last word keeps its full stop
            words[a:b] = ["« " + " ".join(words[a:b]) + " »"]
            text[k] = " ".join(words)
    text.insert(random.randrange(len(text) + 1), random.choice(typeset))
    return [i, url, title.replace("'", "’"), " ".join(text)]

for name, make in (("latin1", lambda r: [*r[:3], " ".join(r[3])]), ("typeset", typeset_row)):
    with open(os.path.join(sys.argv[1], f"{name}.csv"), "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f)
        w.writerow(["LinkID", "URL", "SubCategory", "Description"])
        for row in rows:
            w.writerow(make(row))
PY

for table in latin1 typeset; do
    "$tool" build "$work/$table.csv" "$work/$table.mdb"
    "$sqlite" "$work/$table.db" ".import --csv $work/$table.csv LINKS"
done
python3 - "$work" <<'PY'
import csv, os, statistics, sys
for table in ("latin1", "typeset"):
    base = os.path.join(sys.argv[1], table)
    rows = list(csv.DictReader(open(base + ".csv", encoding="utf-8")))
    lengths = [len(r["Description"]) for r in rows]
    wide = sum(any(ord(c) > 0xff for c in r["Description"]) for r in rows)
    print(f"{table}: {len(rows)} rows, descriptions {min(lengths)}-{max(lengths)} characters "
          f"(median {statistics.median(lengths):.0f}), {wide} with characters above U+00FF, "
          f"{len({r['SubCategory'] for r in rows})} distinct titles; "
          f"environ.mdb {os.path.getsize(base + '.mdb') / 1e6:.1f} MB, "
          f"SQLite file {os.path.getsize(base + '.db') / 1e6:.1f} MB")
PY

# Each word set: three words given to both, in the same order.
python3 - "$tool" "$sqlite" "$work" "$runs" <<'PY'
import os, statistics, subprocess, sys, time
tool, sqlite, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
word_sets = [("common", ["pollution", "air", "ville"]),
             ("mixed", ["Ozone", "mesures", "chaleur"]),
             ("rare", ["lichens", "usines", "disparaissent"]),
             ("typeset", ["cœur", "l’œuvre", "poumons"])]
# The panel strips twelve lower-case accents from the typed words before it
# searches; the SQL query gets the words so stripped, to look for the same text.
plain = str.maketrans("éèêëùôöâàüîï", "eeeeuooaauii")

def timed(command):
    """Wall time, processor time (user + system) and output of one run."""
    with open(os.path.join(work, "out"), "w+b") as out:
        start = time.perf_counter()
        child = subprocess.Popen(command, stdout=out, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(child.pid, 0)
        wall = time.perf_counter() - start
        if status != 0:
            sys.exit(f"{command[0]} failed")
        out.seek(0)
        return wall, usage.ru_utime + usage.ru_stime, out.read()

def load():
    return os.getloadavg()[0]

print(f"load average (1 min) at start: {load():.2f} on {os.cpu_count()} cores; {runs} runs each, alternated")
print("Medians of wall time and of processor time (user + system); on a shared machine the")
print("processor time is the steadier of the two.")
print("Counts differ where titles repeat: the panel lists a title once per matching row in")
print("stored order but, for every later word, drops the last listed entry with a failing")
print("row's title, whichever row put it there; SQL returns every matching row.")
ratios = []
cpu_ratios = []
for table in ("latin1", "typeset"):
    mdb, db = os.path.join(work, table + ".mdb"), os.path.join(work, table + ".db")
    for name, words in word_sets:
        if name == "typeset" and table == "latin1":
            continue
        ours_cmd = [tool, "search", "--all", mdb, *words]
        like = " AND ".join(f"Description LIKE '%{w.translate(plain)}%'" for w in words)
        theirs_cmd = [sqlite, db, f"SELECT SubCategory, URL FROM LINKS WHERE {like}"]
        timed(ours_cmd), timed(theirs_cmd)  # warm the page cache
        ours, theirs, ours_cpu, theirs_cpu = [], [], [], []
        for _ in range(runs):
            t, c, ours_out = timed(ours_cmd); ours.append(t); ours_cpu.append(c)
            t, c, theirs_out = timed(theirs_cmd); theirs.append(t); theirs_cpu.append(c)
        found = len(ours_out.splitlines()) - 1
        rows = len(theirs_out.splitlines())
        m_ours, m_theirs = statistics.median(ours), statistics.median(theirs)
        c_ours, c_theirs = statistics.median(ours_cpu), statistics.median(theirs_cpu)
        ratios.append(m_ours / m_theirs)
        cpu_ratios.append(c_ours / c_theirs)
        print(f"{table:7} {name:7} {' '.join(words):29} ruzez-links {m_ours * 1000:6.1f} ms, cpu {c_ours * 1000:6.1f} ms"
              f" ({found} results) | sqlite3 {m_theirs * 1000:6.1f} ms, cpu {c_theirs * 1000:6.1f} ms"
              f" ({rows} rows) | ratio {m_ours / m_theirs:.2f}, cpu {c_ours / c_theirs:.2f}")
print(f"load average (1 min) at end: {load():.2f}")
worst, worst_cpu = max(ratios), max(cpu_ratios)
verdict = "meets" if max(worst, worst_cpu) <= 1.0 else "misses"
print(f"worst ratio {worst:.2f} (wall), {worst_cpu:.2f} (cpu): {verdict} the target of 1.0")
PY
