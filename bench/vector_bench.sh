#!/usr/bin/env bash
# Vector pictures against PNG: one generated file of 1,000,000 rows saved as PNG, SVG and PDF by the same build,
# the three runs in turn; prints the best wall and processor time of each, the file sizes and the ratios to the
# PNG run (goal: files under 5 MB, saved within 1.5 times the PNG run). A second round with --vector-limit above
# the rows shows what all marks as shapes would cost.
# Usage: bench/vector_bench.sh [build-folder] [runs]   (defaults: build, 5)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
runs="${2:-5}"
tremwil="$build/tremwil"
[[ -x "$tremwil" ]] || { echo "missing $tremwil: build the release build first" >&2; exit 1; }
if [[ ! -x /usr/bin/time ]]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq time >/dev/null
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The rows of bench/picture_bench.sh: x uniform in 0..1000, y a wave plus noise, z from -3 to 8.
awk -v n=1000000 'BEGIN {
    srand(7);
    for (i = 0; i < n; i++) {
        x = rand() * 1000;
        printf "%.4f %.4f %.3f\n", x, 50 * sin(x / 80) + 10 * cos(x / 13) + (rand() - 0.5) * 8, -3 + rand() * 11;
    }
}' > "$work/rows.dat"

declare -A wall cpu
run_one() { # kind extra-options...
    local kind="$1"; shift
    ( cd "$work" && /usr/bin/time -f "%e %U %S" -o "$work/time" "$tremwil" --in-memory --quiet "$@" \
        -o "out.$kind" rows.dat >/dev/null 2>"$work/err" ) || { cat "$work/err" >&2; exit 1; }
    local w u s c
    read -r w u s < "$work/time"
    c=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')
    if [[ -z "${wall[$kind]:-}" ]] || awk -v a="$w" -v b="${wall[$kind]}" 'BEGIN { exit !(a < b) }'; then wall[$kind]="$w"; fi
    if [[ -z "${cpu[$kind]:-}" ]] || awk -v a="$c" -v b="${cpu[$kind]}" 'BEGIN { exit !(a < b) }'; then cpu[$kind]="$c"; fi
}

report() { # title
    echo "$1"
    printf "%-5s %9s %9s %12s %10s %10s\n" kind wall_s cpu_s bytes wall/png cpu/png
    for kind in png svg pdf; do
        printf "%-5s %9s %9s %12s %10s %10s\n" "$kind" "${wall[$kind]}" "${cpu[$kind]}" "$(stat -c %s "$work/out.$kind")" \
            "$(awk -v a="${wall[$kind]}" -v b="${wall[png]}" 'BEGIN { printf "%.2f", a / b }')" \
            "$(awk -v a="${cpu[$kind]}" -v b="${cpu[png]}" 'BEGIN { printf "%.2f", a / b }')"
    done
}

for ((i = 0; i < runs; i++)); do
    for kind in png svg pdf; do run_one "$kind"; done
done
report "1,000,000 rows, default --vector-limit (20,000): the marks as one image, best of $runs"
limit=0
for kind in svg pdf; do
    size=$(stat -c %s "$work/out.$kind")
    ratio=$(awk -v a="${wall[$kind]}" -v b="${wall[png]}" 'BEGIN { print (a / b <= 1.5) }')
    if (( size >= 5 * 1024 * 1024 )) || [[ "$ratio" != 1 ]]; then
        echo "over the goal: $kind"; limit=1
    fi
done

unset wall cpu; declare -A wall cpu
for ((i = 0; i < runs; i++)); do
    for kind in png svg pdf; do run_one "$kind" --vector-limit=2000000; done
done
report "the same rows with --vector-limit=2000000: every mark a shape, best of $runs"
exit "$limit"
