#!/usr/bin/env bash
# End-to-end picture benchmark: tremwil --in-memory --quiet against gnuplot and against the floor program
# (bench/picture_floor.cpp) on generated files of 100k and 1M rows. Prints wall time and peak memory of each.
# Usage: bench/picture_bench.sh [build-folder] [runs]   (defaults: build, 3 runs; the best run counts)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-3}"
tremwil="$build/tremwil"
floor="$build/bench/picture_floor"
for program in "$tremwil" "$floor"; do
    [[ -x "$program" ]] || { echo "missing $program: build the release build first" >&2; exit 1; }
done
if ! command -v gnuplot >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq gnuplot-nox >/dev/null
fi
if [[ ! -x /usr/bin/time ]]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# "x y z": x uniform in 0..1000, y a smooth wave plus noise, z from -3 to 8; the same seed every time.
generate() {
    awk -v n="$1" 'BEGIN {
        srand(7);
        for (i = 0; i < n; i++) {
            x = rand() * 1000;
            printf "%.4f %.4f %.3f\n", x, 50 * sin(x / 80) + 10 * cos(x / 13) + (rand() - 0.5) * 8, -3 + rand() * 11;
        }
    }' > "$2"
}

# Best wall time (seconds) and largest peak resident size (MB) over $runs runs of the command.
measure() {
    local best="" peak=0 t m
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
            echo "failed: $*" >&2; cat "$work/err" >&2; exit 1; }
        read -r t m < "$work/time"
        if [[ -z "$best" ]] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best="$t"; fi
        (( m > peak )) && peak="$m"
    done
    awk -v t="$best" -v m="$peak" 'BEGIN { printf "%.3f %.1f", t, m / 1024 }'
}

cd "$work"
printf '%-6s %-10s %10s %10s\n' rows program "time (s)" "peak (MB)"
for n in 100000 1000000; do
    generate "$n" "rows$n.dat"
    cat > "plot$n.gp" <<GP
set terminal png size 640,480
set output "gnuplot$n.png"
plot "rows$n.dat" using 1:2:(abs(\$3)) with circles
GP
    read -r tt tm <<< "$(measure "$tremwil" --in-memory --quiet "rows$n.dat")"
    read -r gt gm <<< "$(measure gnuplot "plot$n.gp")"
    read -r ft fm <<< "$(measure "$floor" "rows$n.dat" "floor$n.png")"
    printf '%-6s %-10s %10s %10s\n' "$n" tremwil "$tt" "$tm" "$n" gnuplot "$gt" "$gm" "$n" floor "$ft" "$fm"
    awk -v t="$tt" -v g="$gt" -v f="$ft" 'BEGIN { printf "       gnuplot / tremwil = %.1f   tremwil / floor = %.2f\n", g / t, t / f }'
done
