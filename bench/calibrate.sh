#!/usr/bin/env bash
# Calibration of phasediagram-uncertainty by simulation from a known truth: for 8, 12 and 20
# compositions per file, N data sets (default 300) generated from a fixed model with measurement
# scatter, each analysed with 2000 replicates; prints how often the 95 % intervals contain the
# truth, the mean reported sd and the sd of the estimates across the data sets.
# Run after building (cmake --workflow --preset test); takes about a second per 100 data sets.
set -euo pipefail
cd "$(dirname "$0")/.."
program=build/phasediagram-calibration
[[ -x $program ]] || { echo "calibrate.sh: build $program first (cmake --build build)" >&2; exit 1; }
sets=${1:-300}
for points in 8 12 20; do
    "$program" --data-sets "$sets" --points "$points" "${@:2}"
    echo
done
