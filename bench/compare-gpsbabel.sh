#!/usr/bin/env bash
# Loading speed side by side, in one run, as ratios: Keelrun loading a whole
# race (race file, tracks, roundings, speeds, legs, manoeuvres) with --inspect
# against gpsbabel reading the same GPX files and against the scan floor
# (grep counting the fixes); the same race with every track format in turn
# against the GPX one; and the memory Keelrun holds with the race loaded.
# The race: 81 boats, four hours, a fix a second.
#
# Usage: bench/compare-gpsbabel.sh [BUILD] [RUNS]
#   BUILD: the build folder (default: build); RUNS: runs of each (default: 5).
# Each figure is the median of RUNS runs after a warm-up run.
set -euo pipefail

build=${1:-build}
runs=${2:-5}
for tool in keelrun keelrun-simulate; do
  [ -x "$build/$tool" ] || { echo "$build/$tool not found: build first (make build)" >&2; exit 1; }
done
command -v gpsbabel >/dev/null || { echo "gpsbabel not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/keelrun-simulate" --out "$work/gpx" --boats 81 --minutes 240 --interval 1 --format gpx >/dev/null
"$build/keelrun-simulate" --out "$work/mixed" --boats 81 --minutes 240 --interval 1 --format mixed >/dev/null
echo "81 GPX files: $(du -sh "$work/gpx/gpsdat" | cut -f1), $(cat "$work"/gpx/gpsdat/*.gpx | grep -c '<trkpt') fixes"

# median COMMAND: the median wall-clock seconds of $runs runs of COMMAND.
median() {
  bash -c "$1" >/dev/null 2>&1
  for _ in $(seq "$runs"); do
    local t0 t1
    t0=$(date +%s.%N)
    bash -c "$1" >/dev/null 2>&1
    t1=$(date +%s.%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'
  done | sort -g | awk '{ v[NR] = $1 } END { printf "%.3f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }

keelrun=$(median "$build/keelrun --inspect race01.txt $work/gpx")
gpsbabel=$(median "for f in $work/gpx/gpsdat/*.gpx; do gpsbabel -i gpx -f \$f -o unicsv -F /dev/null; done")
floor=$(median "cat $work/gpx/gpsdat/*.gpx | grep -c '<trkpt'")
mixed=$(median "$build/keelrun --inspect race01.txt $work/mixed")
peak=$(/usr/bin/time -f %M "$build/keelrun" --inspect race01.txt "$work/gpx" 2>&1 >/dev/null | tail -1)

printf '%-44s %8s s\n' "keelrun --inspect, 81 GPX tracks" "$keelrun" \
  "gpsbabel reading the 81 files" "$gpsbabel" \
  "grep -c '<trkpt' over the files (floor)" "$floor" \
  "keelrun --inspect, every format in turn" "$mixed"
echo "gpsbabel / keelrun:      $(ratio "$gpsbabel" "$keelrun")x   (target at least 30x)"
echo "keelrun / floor:         $(ratio "$keelrun" "$floor")x   (target at most 3x)"
echo "mixed formats / GPX:     $(ratio "$mixed" "$keelrun")x   (target at most 1.5x)"
echo "peak memory, GPX race:   $((peak / 1024)) MB   (target under 200 MB)"
