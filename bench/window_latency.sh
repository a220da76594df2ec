#!/usr/bin/env bash
# Window latency benchmark: how long a box zoom, and the step back with "u", take from the event to the repainted
# window, on generated files of 1M rows (and 10M with FULL=1), under an Xvfb of its own driven by xdotool.
# Figures per action: the program's own measure (from the event's arrival in its queue to the window's repaint,
# its --debug line "view shown N ms"), the wall time from just before xdotool sends the last event to that line,
# and, as the baseline measured in the same run, a batch run (--in-memory) drawing the same view from the file.
# Then two zooms sent at once: the first view's drawing is abandoned for the second.
# Usage: bench/window_latency.sh [build-folder] [runs]   (defaults: build, 5 runs; the median counts)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-5}"
tremwil="$build/tremwil"
[[ -x "$tremwil" ]] || { echo "missing $tremwil: build the release build first" >&2; exit 1; }
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install-deps.sh)" >&2; exit 1; }
done

work="$(mktemp -d)"
xvfb_pid=""
tw_pid=""
cleanup() {
    [[ -n "$tw_pid" ]] && kill "$tw_pid" 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 3<> "$work/displayfd" # Xvfb writes its display number here once it accepts connections
Xvfb -displayfd 3 -r -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 200); do
    [[ -s "$work/displayfd" ]] && break
    sleep 0.05
done
export DISPLAY=":$(head -1 "$work/displayfd")"

generate() {
    awk -v n="$1" 'BEGIN {
        srand(7);
        for (i = 0; i < n; i++) {
            x = rand() * 1000;
            printf "%.4f %.4f %.3f\n", x, 50 * sin(x / 80) + 10 * cos(x / 13) + (rand() - 0.5) * 8, -3 + rand() * 11;
        }
    }' > "$2"
}

now_ms() { date +%s%3N; }
count() { grep -c -- "$1" "$work/err" || true; }
# Waits until the trace holds the part more than $2 times; prints the wall time it took from $3.
await() {
    while [[ "$(count "$1")" -le "$2" ]]; do
        kill -0 "$tw_pid" 2>/dev/null || { echo "tremwil ended" >&2; tail -5 "$work/err" >&2; exit 1; }
        sleep 0.002
    done
    echo $(($(now_ms) - $3))
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

bench_file() {
    local rows="$1" data="$work/data$1.dat"
    generate "$rows" "$data"
    (cd "$work" && exec "$tremwil" --debug --quiet "$data" >"$work/out" 2>"$work/err") &
    tw_pid=$!
    await ") plotting dataset 0" 0 "$(now_ms)" >/dev/null
    local id
    id="$(xdotool search --name '^TWGR$' | head -1)"
    : > "$work/zoom_in" ; : > "$work/zoom_wall" ; : > "$work/back_in" ; : > "$work/back_wall"
    for _ in $(seq "$runs"); do
        local before start
        before="$(count 'view shown')"
        xdotool mousemove --window "$id" 150 120 mousedown 1 mousemove --window "$id" 300 250 \
            mousemove --window "$id" 420 380
        start="$(now_ms)"
        xdotool mouseup 1
        await "view shown" "$before" "$start" >> "$work/zoom_wall"
        grep "view shown" "$work/err" | tail -1 | sed 's/.*view shown \([0-9]*\) ms.*/\1/' >> "$work/zoom_in"
        before="$(count 'view shown')"
        start="$(now_ms)"
        xdotool mousemove --window "$id" 2 2 key u
        await "view shown" "$before" "$start" >> "$work/back_wall"
        grep "view shown" "$work/err" | tail -1 | sed 's/.*view shown \([0-9]*\) ms.*/\1/' >> "$work/back_in"
    done
    # Two zooms at once: the second arrives while the first is drawn.
    local abandoned_before shown_before
    abandoned_before="$(count 'view abandoned')"
    shown_before="$(count 'view shown')"
    xdotool mousemove --window "$id" 150 120 mousedown 1 mousemove --window "$id" 420 380 mouseup 1 \
        mousedown 1 mousemove --window "$id" 200 200 mouseup 1
    await "view shown" "$((shown_before))" "$(now_ms)" >/dev/null
    sleep 0.5
    local abandoned=$(($(count 'view abandoned') - abandoned_before))
    # The baseline: the same zoomed view drawn by a batch run from the file.
    local options
    options="$(grep -- '--minx=' "$work/out" | head -1)"
    xdotool key q
    wait "$tw_pid" || true
    tw_pid=""
    local best=""
    for _ in $(seq "$runs"); do
        local t0 t1
        t0="$(now_ms)"
        # shellcheck disable=SC2086 # the options are separate words
        (cd "$work" && "$tremwil" --in-memory --quiet $options -o "$work/batch.png" "$data" >/dev/null 2>&1)
        t1="$(now_ms)"
        if [[ -z "$best" || $((t1 - t0)) -lt "$best" ]]; then best=$((t1 - t0)); fi
    done
    local zin zwall bin bwall
    zin="$(median < "$work/zoom_in")"; zwall="$(median < "$work/zoom_wall")"
    bin="$(median < "$work/back_in")"; bwall="$(median < "$work/back_wall")"
    printf '%9s rows: zoom %4s ms in the program, %4s ms wall; back %4s / %4s ms; batch run of the view %5s ms;' \
        "$rows" "$zin" "$zwall" "$bin" "$bwall" "$best"
    printf ' zoom / batch %s; drawings abandoned for a newer zoom: %s\n' \
        "$(awk -v a="$zwall" -v b="$best" 'BEGIN { printf "%.2f", a / b }')" "$abandoned"
}

bench_file 1000000
if [[ "${FULL:-0}" == 1 ]]; then
    bench_file 10000000
fi
