#!/usr/bin/env bash
# Batch look-up of a million generated rows: corvana-query lookup against the sqlite3 command
# line doing the same job in one run (import the CSV, join it with an indexed table of
# dataset/zipcodes.csv, write the CSV). Prints wall time, rows per second and peak memory of
# each, the best of three runs, and the peak memory of corvana-query for 1,000 and 10,000,000
# rows streamed through a pipe. A third run appends each row's distance from 84101
# (lookup --distance-from 84101), which reads POINTS.DAT as well; a fourth the columns of
# ZIPFACTS.DAT (lookup --columns kind,time_zone,other_area_codes); a fifth those of PEOPLE.DAT
# (lookup --columns population,density).
# Usage: bench/lookup_vs_sqlite.sh [BUILD_DIR] [ROWS]   (needs sqlite3 and /usr/bin/time)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rows=${2:-1000000}
query="$build/bin/corvana-query"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

python3 bench/lookup_rows.py "$rows" > "$work/in.csv"
echo "input: $rows rows, $(du -h "$work/in.csv" | cut -f1)"

# The same clean-up of the ZIP field as corvana-query (blanks, ZIP+4, dropped zeros), in SQL.
cat > "$work/join.sql" <<SQL
.mode csv
.import $work/in.csv input
.import dataset/zipcodes.csv zips
CREATE INDEX zips_zip ON zips(zip);
.headers on
.output $work/sqlite.csv
SELECT i.*, z.city, z.state, z.county, z.area_code, z.utc_offset, z.dst
FROM input AS i LEFT JOIN zips AS z ON z.zip = (
    SELECT CASE
        WHEN length(t) = 10 AND substr(t, 6, 1) = '-' THEN substr(t, 1, 5)
        WHEN length(t) = 9 THEN substr(t, 1, 5)
        WHEN length(t) IN (3, 4) THEN substr('00' || t, -5)
        ELSE t END
    FROM (SELECT trim(i.zip, ' ' || char(9)) AS t))
ORDER BY i.rowid;
SQL

# measure COMMAND...: of three runs, the one with the least wall time: wall time (s), processor
# time (user + system, s) and peak RSS (kB). The processor time shows the cost on a busy machine.
measure() {
    local best=""
    for _ in 1 2 3; do
        /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" || [ $? -eq 1 ]
        # time adds a line of its own before the figures when the command exits non-zero
        local line
        line=$(tail -n 1 "$work/time")
        if [ -z "$best" ] || awk "BEGIN{split(\"$line\", a, \" \"); split(\"$best\", b, \" \"); exit !(a[1] < b[1])}"; then
            best=$line
        fi
    done
    awk '{printf "%s %.2f %s\n", $1, $2 + $3, $4}' <<< "$best"
}

read -r ours_t ours_cpu ours_m < <(measure sh -c "\"$query\" lookup < '$work/in.csv' > '$work/ours.csv' 2>/dev/null")
read -r lite_t lite_cpu lite_m < <(measure sh -c "sqlite3 < '$work/join.sql'")
read -r dist_t dist_cpu dist_m < <(measure sh -c "\"$query\" lookup --distance-from 84101 < '$work/in.csv' > '$work/dist.csv' 2>/dev/null")
read -r fact_t fact_cpu fact_m < <(measure sh -c "\"$query\" lookup --columns kind,time_zone,other_area_codes < '$work/in.csv' > '$work/facts.csv' 2>/dev/null")
read -r pop_t pop_cpu pop_m < <(measure sh -c "\"$query\" lookup --columns population,density < '$work/in.csv' > '$work/people.csv' 2>/dev/null")

for out in ours dist facts people; do
    [ "$(wc -l < "$work/$out.csv")" -eq "$(wc -l < "$work/in.csv")" ] || { echo "row count differs"; exit 1; }
done
rate() { awk "BEGIN{t=$1; if (t < 0.01) t = 0.01; printf \"%.0f\", $rows / t}"; }
mb() { awk "BEGIN{printf \"%.1f\", $1 / 1024}"; }
printf '\n| %-36s | %8s | %12s | %13s | %13s |\n' "Program" "Wall (s)" "Rows/s" "CPU time (s)" "Peak RSS (MB)"
printf '|%s|%s|%s|%s|%s|\n' "--------------------------------------" "----------" "--------------" "---------------" "---------------"
printf '| %-36s | %8s | %12s | %13s | %13s |\n' "corvana-query lookup" "$ours_t" "$(rate "$ours_t")" "$ours_cpu" "$(mb "$ours_m")"
printf '| %-36s | %8s | %12s | %13s | %13s |\n' "corvana-query lookup --distance-from" "$dist_t" "$(rate "$dist_t")" "$dist_cpu" "$(mb "$dist_m")"
printf '| %-36s | %8s | %12s | %13s | %13s |\n' "corvana-query lookup --columns (facts)" "$fact_t" "$(rate "$fact_t")" "$fact_cpu" "$(mb "$fact_m")"
printf '| %-36s | %8s | %12s | %13s | %13s |\n' "corvana-query lookup --columns (people)" "$pop_t" "$(rate "$pop_t")" "$pop_cpu" "$(mb "$pop_m")"
printf '| %-36s | %8s | %12s | %13s | %13s |\n' "sqlite3 $(sqlite3 --version | cut -d' ' -f1) import+join+export" "$lite_t" "$(rate "$lite_t")" "$lite_cpu" "$(mb "$lite_m")"
awk "BEGIN{t=$ours_t; c=$ours_cpu; if (t < 0.01) t = 0.01; if (c < 0.01) c = 0.01;
     printf \"\\nSpeed-up over sqlite3: %.1fx wall time, %.1fx CPU time\\n\", $lite_t / t, $lite_cpu / c}"

# Memory stays flat: the peak for 1,000 to 10,000,000 rows streamed through a pipe. What grows
# with the number of distinct ZIP codes met (at most the 41,703 of the data) is the table of
# their annotations, so 1,000 rows stay a little below the rest.
for n in 1000 100000 10000000; do
    python3 bench/lookup_rows.py "$n" | /usr/bin/time -f "%M" -o "$work/time" "$query" lookup \
        > /dev/null 2>&1 || true
    echo "peak RSS for $n rows: $(tail -n 1 "$work/time" | awk '{printf "%.1f MB", $1/1024}')"
done
