#!/usr/bin/env bash
# Keelrun against gpsbabel on the same GPX files, side by side: a full fleet
# (81 boats, four hours, a fix a second) and one boat's file alone. Keelrun
# loads the whole race (race file, tracks, roundings, speeds, legs) with
# --inspect; gpsbabel reads each track and writes nothing.
#
# Usage: bench/compare-gpsbabel.sh [BUILD]    BUILD: the build folder (default: build)
# Uses hyperfine when installed, else one timed run of each after a warm-up.
set -euo pipefail

build=${1:-build}
for tool in keelrun keelrun-simulate; do
  [ -x "$build/$tool" ] || { echo "$build/$tool not found: build first (make build)" >&2; exit 1; }
done
command -v gpsbabel >/dev/null || { echo "gpsbabel not found" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
race=$work/race

"$build/keelrun-simulate" --out "$race" --boats 81 --minutes 240 --interval 1 --format gpx
# The same race with the first boat only: the race file without the other
# boats' lines, so that both tools read the very same track file.
awk '!/^BN,/ || !seen++' "$race/raceadmin/race01.txt" > "$race/raceadmin/single.txt"
single=$race/gpsdat/race01_01.gpx
echo "81 files: $(du -sh "$race/gpsdat" | cut -f1), $(cat "$race"/gpsdat/*.gpx | grep -c '<trkpt') fixes;" \
     "one file: $(du -h "$single" | cut -f1), $(grep -c '<trkpt' "$single") fixes"

keelrun_fleet="$build/keelrun --inspect race01.txt $race > /dev/null"
gpsbabel_fleet="for f in $race/gpsdat/*.gpx; do gpsbabel -i gpx -f \$f -o unicsv -F /dev/null; done"
keelrun_single="$build/keelrun --inspect single.txt $race > /dev/null"
gpsbabel_single="gpsbabel -i gpx -f $single -o unicsv -F /dev/null"

# compare RUNS NAME COMMAND NAME COMMAND
compare() {
  local runs=$1; shift
  if command -v hyperfine >/dev/null; then
    hyperfine --warmup 1 --runs "$runs" --export-markdown "$work/table.md" -n "$1" "$2" -n "$3" "$4"
    cat "$work/table.md"
  else
    TIMEFORMAT="  %R s (user %U s, system %S s)"
    while [ $# -gt 0 ]; do
      bash -c "$2"
      echo "$1:"
      time bash -c "$2"
      shift 2
    done
  fi
  echo
}

compare 3 "keelrun: whole race, 81 boats" "$keelrun_fleet" "gpsbabel: 81 files" "$gpsbabel_fleet"
compare 20 "keelrun: race of one boat" "$keelrun_single" "gpsbabel: one file" "$gpsbabel_single"
