#!/usr/bin/env bash
# Writes the tour's data files into a folder (default: this script's folder). The numbers come from a fixed-seed
# generator written out in awk (Park and Miller's, exact in any awk's doubles), so every machine writes the same
# files. The million-row file is large and left out of the repository: "million" writes only that one.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=${1:-$here}
what=${2:-small}
mkdir -p "$out"

# Common awk: uniform() in (0, 1) and normal() from a fixed seed; printf keeps 4 decimals at most, so the last bits
# of the platform's log and cos never reach the files.
prelude='
function uniform() { state = (state * 48271) % 2147483647; return state / 2147483647 }
function normal(   u, v) { u = uniform(); v = uniform(); return sqrt(-2 * log(u)) * cos(6.283185307179586 * v) }
BEGIN { state = (seed * 2654435761) % 2147483647 }
'

write() { # file seed program
  awk -v seed="$2" "$prelude$3" > "$out/$1.tmp" </dev/null
  mv "$out/$1.tmp" "$out/$1"
}

if [ "$what" = million ]; then
  # Two overlapping clouds and a faint ring: a million points that pile into one blot when drawn as marks.
  write million.dat 7 'BEGIN {
    for (i = 0; i < 1000000; i++) {
      r = uniform()
      if (r < 0.55)      { x = normal() * 1.0;  y = normal() * 0.6 }
      else if (r < 0.9)  { x = 2.5 + normal() * 0.5; y = 1.5 + normal() * 0.9 }
      else               { a = 6.283185307179586 * uniform(); x = 1 + 3.5 * cos(a) + normal() * 0.1; y = 0.5 + 2.5 * sin(a) + normal() * 0.1 }
      printf "%.4f %.4f 1\n", x, y
    }
  }'
  exit 0
fi

# Daily weather at two stations: a CSV with a header, read by column names.
for station in oslo:11:4.5:1 bergen:23:7.5:2.2; do
  IFS=: read -r name seed mean rain <<<"$station"
  write "$name.csv" "$seed" "BEGIN {
    print \"day,temp_c,rain_mm\"
    for (d = 1; d <= 365; d += 2) {
      t = $mean + 9 * sin(6.283185307179586 * (d - 110) / 365) + normal() * 2
      r = uniform() < 0.45 ? $rain * (-log(uniform())) : 0
      printf \"%d,%.1f,%.1f\n\", d, t, r
    }
  }"
done

# A heavy-tailed measurement over four decades: a straight line on log-log axes.
write powerlaw.dat 3 'BEGIN {
  for (i = 0; i < 80; i++) {
    x = 10 ^ (i / 20)
    y = 2000 * x ^ -1.5 * exp(normal() * 0.25)
    printf "%.4g %.4g %.2f\n", x, y, 1 + uniform() * 3
  }
}'

# A day of a web service log: ISO time, epoch seconds, latency, response size and status per request.
write requests.csv 5 'BEGIN {
  print "time,epoch,latency_ms,bytes,status"
  t = 1710374400
  for (i = 0; i < 1500; i++) {
    t += int(-log(uniform()) * 55) + 1
    hour = (t - 1710374400) / 3600
    load = 1 + 0.8 * sin(6.283185307179586 * (hour - 8) / 24)
    lat = 40 * load * exp(normal() * 0.45)
    r = uniform(); status = r < 0.9 ? 200 : r < 0.97 ? 404 : 500
    if (status == 500) lat *= 6
    size = int(800 * exp(normal() * 1.2))
    printf "%s,%d,%.1f,%d,%d\n", strftime_utc(t), t, lat, size, status
  }
}
function strftime_utc(t,   days, s, y, m, d, leap, ml) {
  days = int(t / 86400); s = t - days * 86400
  y = 1970
  while (1) { leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; if (days < 365 + leap) break; days -= 365 + leap; y++ }
  split("31 28 31 30 31 30 31 31 30 31 30 31", ml, " "); if (leap) ml[2] = 29
  for (m = 1; days >= ml[m]; m++) days -= ml[m]
  d = days + 1
  return sprintf("%04d-%02d-%02dT%02d:%02d:%02dZ", y, m, d, int(s / 3600), int(s % 3600 / 60), s % 60)
}'

# A star catalogue: colour index, absolute magnitude, radius and surface temperature.
write stars.csv 9 'BEGIN {
  print "bv,abs_mag,radius,temp_k"
  for (i = 0; i < 600; i++) {
    r = uniform()
    if (r < 0.8) { bv = -0.2 + uniform() * 1.9; mag = -2 + 6.5 * bv + normal() * 0.6 + 1.5; rad = 10 ^ (-(mag - 4.8) / 10) }
    else if (r < 0.93) { bv = 0.8 + uniform() * 0.9; mag = 0.5 + normal() * 0.8 - (bv - 0.8); rad = 8 + uniform() * 20 }
    else { bv = -0.2 + uniform() * 0.6; mag = 11 + normal() * 0.8; rad = 0.02 }
    temp = 4600 * (1 / (0.92 * bv + 1.7) + 1 / (0.92 * bv + 0.62))
    printf "%.3f,%.2f,%.2f,%.0f\n", bv, mag, rad, temp
  }
}'
