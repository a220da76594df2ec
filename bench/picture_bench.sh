#!/usr/bin/env bash
# End-to-end picture benchmark: tremwil --in-memory --quiet against the floor program (bench/picture_floor.cpp)
# and, when installed, gnuplot, on generated files of 100k, 1M and 10M rows; then one run over 2,000 files of
# 200 rows. Prints wall and processor time, peak memory and the ratios.
# Usage: bench/picture_bench.sh [build-folder] [runs] [tremwil-binary] [batch-before-binary]
#   (defaults: build, 3 runs, the build's tremwil; the best run counts; tremwil and the floor run in turn). With a fourth argument the batch is also
#   run with that binary, alternating with the first, for a before/after pair in one run; BATCH_ONLY=1 skips the
#   big files.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-3}"
tremwil="${3:-$build/tremwil}"
before="${4:-}"
floor="$build/bench/picture_floor"
for program in "$tremwil" "$floor"; do
    [[ -x "$program" ]] || { echo "missing $program: build the release build first" >&2; exit 1; }
done
# gnuplot is compared only where it is installed; the script installs nothing for it.
have_gnuplot=0
command -v gnuplot >/dev/null && have_gnuplot=1
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

# Best wall time and best processor time (user + system, seconds) and the largest peak resident size (MB) over
# $runs runs of the command. On a machine shared with other work the processor time is the steadier figure.
measure() {
    local best_wall="" best_cpu="" peak=0 wall user sys mem cpu
    for ((i = 0; i < runs; i++)); do
        /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" >/dev/null 2>"$work/err" || {
            echo "failed: $*" >&2; cat "$work/err" >&2; exit 1; }
        read -r wall user sys mem < "$work/time"
        cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%.2f", u + s }')
        if [[ -z "$best_wall" ]] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then best_wall="$wall"; fi
        if [[ -z "$best_cpu" ]] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then best_cpu="$cpu"; fi
        (( mem > peak )) && peak="$mem"
    done
    awk -v w="$best_wall" -v c="$best_cpu" -v m="$peak" 'BEGIN { printf "%.2f %.2f %.1f", w, c, m / 1024 }'
}

# The smaller of two figures, the first possibly empty.
smaller() {
    awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'
}

# Best figures of tremwil and of the floor on rows$1.dat, the two run in turn so that a change of load on a shared
# machine hits both alike: tremwil's wall, cpu and peak, then the floor's.
in_turn() {
    local tw="" tc="" tm=0 fw="" fc="" fm=0 w c m
    for ((r = 0; r < runs; r++)); do
        read -r w c m <<< "$(runs=1 measure "$tremwil" --in-memory --quiet "rows$1.dat")"
        tw=$(smaller "$tw" "$w") tc=$(smaller "$tc" "$c") tm=$(awk -v a="$tm" -v b="$m" 'BEGIN { print (b + 0 > a + 0) ? b : a }')
        read -r w c m <<< "$(runs=1 measure "$floor" "rows$1.dat" "floor$1.png")"
        fw=$(smaller "$fw" "$w") fc=$(smaller "$fc" "$c") fm=$(awk -v a="$fm" -v b="$m" 'BEGIN { print (b + 0 > a + 0) ? b : a }')
    done
    echo "$tw $tc $tm $fw $fc $fm"
}

cd "$work"
printf '%-9s %-8s %9s %9s %10s\n' rows program "wall (s)" "cpu (s)" "peak (MB)"
sizes=(100000 1000000 10000000)
[[ "${BATCH_ONLY:-0}" == 1 ]] && sizes=()
for n in "${sizes[@]}"; do
    generate "$n" "rows$n.dat"
    read -r tw tc tm fw fc fm <<< "$(in_turn "$n")"
    printf '%-9s %-8s %9s %9s %10s\n' "$n" tremwil "$tw" "$tc" "$tm" "$n" floor "$fw" "$fc" "$fm"
    awk -v tw="$tw" -v fw="$fw" -v tc="$tc" -v fc="$fc" 'BEGIN {
        printf "          tremwil / floor: wall %.2f, cpu %.2f\n", tw / fw, tc / fc }'
    if ((have_gnuplot)); then
        cat > "plot$n.gp" <<GP
set terminal png size 640,480
set output "gnuplot$n.png"
plot "rows$n.dat" using 1:2:(abs(\$3)) with circles
GP
        read -r gw gc gm <<< "$(measure gnuplot "plot$n.gp")"
        printf '%-9s %-8s %9s %9s %10s\n' "$n" gnuplot "$gw" "$gc" "$gm"
        awk -v tw="$tw" -v gw="$gw" -v tc="$tc" -v gc="$gc" 'BEGIN {
            printf "          gnuplot / tremwil: wall %.1f, cpu %.1f\n", gw / tw, gc / tc }'
    fi
    rm -f "rows$n.dat"
done

# Many small files in one run: 2,000 files of 200 rows.
mkdir batch
awk 'BEGIN {
    srand(11);
    for (f = 0; f < 2000; f++) {
        name = sprintf("batch/f%04d.dat", f);
        for (i = 0; i < 200; i++) {
            x = rand() * 1000;
            printf "%.4f %.4f %.3f\n", x, 50 * sin(x / 80) + 10 * cos(x / 13) + (rand() - 0.5) * 8, -3 + rand() * 11 > name;
        }
        close(name);
    }
}'
# One line per program and run: the batch of each binary in turn, so that the load hits both alike.
batch() {
    rm -f batch/*.png
    read -r bw bc bm <<< "$(runs=1 measure "$1" --in-memory --quiet batch/f*.dat)"
    bytes=$(cat batch/f*.png | wc -c)
    awk -v p="$2" -v w="$bw" -v c="$bc" -v m="$bm" -v b="$bytes" 'BEGIN {
        printf "2000 files of 200 rows, one run (%s): wall %.2f s, cpu %.2f s (%.2f ms a file), peak %.1f MB, %.0f PNG bytes a file\n",
            p, w, c, c / 2 , m, b / 2000 }'
}
for ((r = 0; r < runs; r++)); do
    [[ -n "$before" ]] && batch "$before" before
    batch "$tremwil" "$([[ -n "$before" ]] && echo after || echo tremwil)"
done
