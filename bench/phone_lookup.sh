#!/usr/bin/env bash
# Telephone numbers in a batch: a million generated rows (id,name,phone, the cells that
# phone_vs_python.py makes) through corvana-query lookup --phone-column phone, the best wall
# time and peak memory of three runs, against the loop a user would write with
# python3-phonenumbers (parse, geocode and time zones of each cell) over the same cells, and the
# ratio of their times per row.
# Usage: bench/phone_lookup.sh [BUILD_DIR] [ROWS] [PYTHON_ROWS]   (needs /usr/bin/time and
# python3-phonenumbers)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rows=${2:-1000000}
python_rows=${3:-200000}
query="$build/bin/corvana-query"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$rows" > "$work/in.csv" <<'PY'
import sys
sys.path.insert(0, "bench")
from phone_vs_python import cells
out = sys.stdout
out.write("id,name,phone\n")
for i, cell in enumerate(cells(int(sys.argv[1]))):
    out.write('%d,"Caller %d",%s\n' % (i, i, cell))
PY
echo "input: $rows rows, $(du -h "$work/in.csv" | cut -f1)"

best_s= best_kb=
for _ in 1 2 3; do
    /usr/bin/time -v "$query" lookup --phone-column phone < "$work/in.csv" \
        > "$work/out.csv" 2> "$work/time.txt" || [[ $? -eq 1 ]] # 1: some cells no number
    s=$(awk -F': ' '/Elapsed \(wall clock\)/ {n = split($2, p, ":"); t = 0;
        for (i = 1; i <= n; i++) t = t * 60 + p[i]; print t}' "$work/time.txt")
    kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
    if [[ -z $best_s ]] || awk "BEGIN {exit !($s < $best_s)}"; then best_s=$s; fi
    if [[ -z $best_kb ]] || [[ $kb -lt $best_kb ]]; then best_kb=$kb; fi
done
grep "corvana-query lookup:" "$work/time.txt"
echo "output: $(wc -l < "$work/out.csv") lines"
awk -v s="$best_s" -v kb="$best_kb" -v n="$rows" 'BEGIN {
    printf "corvana-query lookup --phone-column: %.3f s, %.0f rows/s, %.3f us per row, peak %.1f MB\n",
        s, n / s, s / n * 1e6, kb / 1024 }'

py=$(/usr/bin/python3 bench/phone_vs_python.py "$python_rows")
echo "$py"
py_us=$(sed -E 's/.* ([0-9.]+) us per row.*/\1/' <<<"$py")
awk -v s="$best_s" -v n="$rows" -v py="$py_us" 'BEGIN {
    printf "ratio: the python3-phonenumbers loop takes %.0f times as long per row\n",
        py / (s / n * 1e6) }'
