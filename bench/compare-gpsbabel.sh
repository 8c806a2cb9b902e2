#!/usr/bin/env bash
# Loading speed side by side, in one run, as ratios: Keelrun loading a whole
# race (race file, tracks, roundings, speeds, legs, manoeuvres) with --inspect
# against gpsbabel reading the same GPX files and against the scan floor
# (grep counting the fixes); the same race with every track format in turn
# against the GPX one; and the memory Keelrun holds with the race loaded.
# The races: 81 boats, four hours, a fix a second; and the same fleet
# logging ten fixes a second, as racing loggers do (about 1.1 GB of GPX).
#
# Usage: bench/compare-gpsbabel.sh [BUILD] [RUNS]
#   BUILD: the build folder (default: build); RUNS: runs of each (default: 5).
# The commands run in turn, RUNS rounds after a warm-up round; each time is
# the median of its runs, and each ratio the median of the rounds' ratios.
set -euo pipefail
export LC_ALL=C  # a point in the clock's decimals, whatever the user's locale

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
"$build/keelrun-simulate" --out "$work/gpx10" --boats 81 --minutes 240 --interval 0.1 --format gpx >/dev/null
echo "81 GPX files: $(du -sh "$work/gpx/gpsdat" | cut -f1), $(cat "$work"/gpx/gpsdat/*.gpx | grep -c '<trkpt') fixes"
echo "81 GPX files at 10 Hz: $(du -sh "$work/gpx10/gpsdat" | cut -f1), $(cat "$work"/gpx10/gpsdat/*.gpx | grep -c '<trkpt') fixes"

# The commands, each run once a round, in turn, so that a slow spell of the
# machine falls on all of them alike; a ratio is taken round by round.
declare -A command=(
  [keelrun]="$build/keelrun --inspect race01.txt $work/gpx"
  [gpsbabel]="for f in $work/gpx/gpsdat/*.gpx; do gpsbabel -i gpx -f \$f -o unicsv -F /dev/null; done"
  [floor]="cat $work/gpx/gpsdat/*.gpx | grep -c '<trkpt'"
  [mixed]="$build/keelrun --inspect race01.txt $work/mixed"
  [keelrun10]="$build/keelrun --inspect race01.txt $work/gpx10"
  [gpsbabel10]="for f in $work/gpx10/gpsdat/*.gpx; do gpsbabel -i gpx -f \$f -o unicsv -F /dev/null; done"
  [floor10]="cat $work/gpx10/gpsdat/*.gpx | grep -c '<trkpt'"
)
names="keelrun gpsbabel floor mixed keelrun10 gpsbabel10 floor10"

# seconds NAME: the wall-clock seconds of one run of the command NAME, read
# from bash's own clock, so that no process started for the timing is timed.
seconds() {
  local t0 t1
  t0=$EPOCHREALTIME
  bash -c "${command[$1]}" >/dev/null 2>&1
  t1=$EPOCHREALTIME
  awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }'
}

for name in $names; do seconds "$name" >/dev/null; done  # warm-up
for round in $(seq "$runs"); do
  for name in $names; do echo "$round $name $(seconds "$name")"; done
done >"$work/times"

median() { sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.3f", m }'; }
# time NAME: the median seconds of NAME.
time_of() { awk -v n="$1" '$2 == n { print $3 }' "$work/times" | median; }
# ratio A B: the median over the rounds of A's time over B's, and its range.
ratio() {
  awk -v a="$1" -v b="$2" '$2 == a { ta[$1] = $3 } $2 == b { tb[$1] = $3 } END { for (r in ta) print ta[r] / tb[r] }' "$work/times" |
    sort -g | awk '{ v[NR] = $1 } END { m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; printf "%.1fx (%.1f-%.1f)", m, v[1], v[NR] }'
}

peak=$(/usr/bin/time -f %M "$build/keelrun" --inspect race01.txt "$work/gpx" 2>&1 >/dev/null | tail -1)
peak10=$(/usr/bin/time -f %M "$build/keelrun" --inspect race01.txt "$work/gpx10" 2>&1 >/dev/null | tail -1)

printf '%-44s %8s s\n' "keelrun --inspect, 81 GPX tracks" "$(time_of keelrun)" \
  "gpsbabel reading the 81 files" "$(time_of gpsbabel)" \
  "grep -c '<trkpt' over the files (floor)" "$(time_of floor)" \
  "keelrun --inspect, every format in turn" "$(time_of mixed)" \
  "keelrun --inspect, 81 GPX tracks at 10 Hz" "$(time_of keelrun10)" \
  "gpsbabel reading the 81 files at 10 Hz" "$(time_of gpsbabel10)" \
  "grep -c '<trkpt' over the 10 Hz files" "$(time_of floor10)"
echo "Medians of the ratios round by round (and their range):"
echo "gpsbabel / keelrun:      $(ratio gpsbabel keelrun)   (target at least 30x)"
echo "keelrun / floor:         $(ratio keelrun floor)   (target at most 3x)"
echo "mixed formats / GPX:     $(ratio mixed keelrun)   (target at most 1.5x)"
echo "peak memory, GPX race:   $((peak / 1024)) MB   (target under 200 MB)"
echo "10 Hz: gpsbabel / keelrun: $(ratio gpsbabel10 keelrun10)   (target at least 30x)"
echo "10 Hz: keelrun / floor:    $(ratio keelrun10 floor10)   (target at most 3x)"
echo "10 Hz: peak memory:        $((peak10 / 1024)) MB   (target under 1 GB)"
