#!/usr/bin/env bash
# Measures a whole run on the example data (500 to 1600 K) as a process: its instruction count
# under callgrind with the clock frozen, its wall time against a process that only writes the
# same five files, and how both grow with the number of temperatures. Needs the default build
# (cmake --workflow --preset test), valgrind, and for the wall time hyperfine (Debian: hyperfine).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$root/build/tests/phasediagram-frozen   # the program with the clock of 2026-01-01 00:00:00 UTC
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$root"/examples/ks-ps/*.txt "$work"/
cd "$work"

instructions() {  # initial final
    printf '%s\n%s\n' "$1" "$2" > answers
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$program" < answers > /dev/null 2> callgrind.log
    sed -n 's/.*Collected : //p' callgrind.log
}

echo "instructions, 500 to 1600 K: $(instructions 500 1600)"
for range in "500 600" "500 1500" "500 10500"; do
    set -- $range
    echo "instructions, $1 to $2 K ($(($2 - $1)) temperatures): $(instructions "$1" "$2")"
done

printf '500\n1600\n' > answers
"$program" < answers > /dev/null
mkdir -p reference
cp Reg_result.txt _Data*.txt reference/
echo
if ! command -v hyperfine > /dev/null; then
    echo "wall time: skipped, hyperfine is not installed (Debian: apt-get install hyperfine)"
    exit 0
fi
echo "wall time, the run against copying its five output files:"
hyperfine --warmup 3 --runs 21 -N \
    "sh -c 'exec $program < answers > /dev/null'" \
    "sh -c 'exec cp reference/Reg_result.txt reference/_Data(Li-FCC).txt reference/_Data(Li-BCC).txt reference/_Data(BCC-FCC).txt reference/_Data(Eutectic).txt .'"
