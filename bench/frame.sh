#!/usr/bin/env bash
# Times each action of the user on the largest library through the real windows, from the
# input event to the end of the repaint it causes, and prints the median, p90 and slowest
# of RUNS runs per action in milliseconds (see bench/frame/FrameBench.cpp for the clock).
# Runs under Xvfb on the X platform; OFFSCREEN=1 uses Qt's offscreen platform instead, and
# LOG=1 logs what each run drew (frame_bench --log).
#   bench/frame.sh [RUNS] [WORD]   # WORD: only the actions whose name contains it ("a|b": either)
set -euo pipefail
case "${1-}" in
  -h | --help)
    echo "usage: bench/frame.sh [RUNS] [WORD]"
    echo "Builds frame_bench and times each action RUNS times (21) on the largest library,"
    echo "under Xvfb (OFFSCREEN=1: Qt's offscreen platform). BUILD_DIR chooses the build;"
    echo "LOG=1 prints each repaint, paint and layout of every run to the standard error."
    exit 0 ;;
  -*) echo "usage: bench/frame.sh [RUNS] [WORD] (--help for more)" >&2; exit 2 ;;
esac
root=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target frame_bench >/dev/null
args=(--runs "${1:-21}")
[ -n "${2-}" ] && args+=(--only "$2")
[ "${LOG:-0}" = 1 ] && args+=(--log)

echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')," \
  "load average $(cut -d' ' -f1 /proc/loadavg)"
work=$(mktemp -d "${TMPDIR:-/tmp}/frame.XXXXXX")
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" # the unit system of these runs stays here
if [ "${OFFSCREEN:-0}" = 1 ]; then
  QT_QPA_PLATFORM=offscreen "$build/bench/frame/frame_bench" "${args[@]}"
else
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/bench/frame/frame_bench" "${args[@]}"
fi
