#!/bin/sh
# Times `ruzez-links export` against libmdb's `mdb-export` on a links table of
# 100,000 rows (the target: within 1.2 times), and the first read of that table
# through LinksTable. Not a test: figures depend on the machine.
#
#   benchmarks/links_export.sh [BUILD_DIR]     (default: build)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
tool=$build/program/ruzez-links
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -x "$tool" ] || { echo "build ruzez-links first (cmake --build $build --target ruzez-links)" >&2; exit 1; }
command -v mdb-export >/dev/null || { echo "mdb-export (package mdbtools) is needed" >&2; exit 1; }

python3 - "$work/rows.csv" <<'PY'
import csv, random, sys
random.seed(4)
words = ("pollution air ozone dioxyde azote carbone particules fines émissions chauffage "
         "circulation usine santé bronches atmosphère effet de serre réchauffement "
         "mesure capteur station qualité respirer éclairage énergie « citadin »").split()
with open(sys.argv[1], "w", newline="", encoding="utf-8") as f:
    w = csv.writer(f)
    w.writerow(["LinkID", "URL", "SubCategory", "Description"])
    for i in range(1, 100001):
        n = 400 if i % 20 == 0 else random.randint(20, 120)  # some descriptions of ~3,000 characters
        text = " ".join(random.choice(words) for _ in range(n))
        w.writerow([i, f"air/pagesair/page{i}.html#p{i % 7}", f"Page {i} : {random.choice(words)}", text])
PY
"$tool" build "$work/rows.csv" "$work/environ.mdb"
echo "file: $(stat -c %s "$work/environ.mdb") bytes, 100000 rows"

best() {  # best wall time of 3 runs, in seconds
    b=
    for _ in 1 2 3; do
        s=$(date +%s.%N); "$@" > "$work/out" 2>/dev/null; e=$(date +%s.%N)
        t=$(echo "$e - $s" | bc)
        if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
    done
    echo "$b"
}
ours=$(best "$tool" export "$work/environ.mdb")
theirs=$(best mdb-export "$work/environ.mdb" LINKS)
echo "ruzez-links export: ${ours}s"
echo "mdb-export:         ${theirs}s"
echo "ratio:              $(echo "scale=2; $ours / $theirs" | bc)"

# The first read through LinksTable, as the browser's search does it.
cat > "$work/read.cpp" <<'CPP'
#include "search/links_table.h"
#include <QElapsedTimer>
#include <cstdio>
int main(int, char **argv)
{
    QElapsedTimer timer;
    timer.start();
    const auto rows = ruzez::LinksTable(QString::fromLocal8Bit(argv[1])).rows();
    std::printf("LinksTable::rows(): %zu rows in %lld ms\n", rows ? rows->size() : 0, timer.elapsed());
    return rows ? 0 : 1;
}
CPP
g++ -std=c++20 -O2 -fPIC -I"$root/src" "$work/read.cpp" -o "$work/read" "$build/src/libruzez_core.a" "$build/src/access/libruzez_access.a" \
    $(pkg-config --cflags --libs Qt6Core)
sync
"$work/read" "$work/environ.mdb"
