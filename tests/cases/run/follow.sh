# Shell functions for the follow-mode cases, which copy this file into their run folder and source it.

# Waits for the picture's comment ($3, else a.png) to tell $1 rows read and $2 shown; a minute at most, a limit that
# only ends a hang.
shows() {
    for i in $(seq 600); do
        grep -aq "(followed: $1 rows read, $2 shown)" "${3:-a.png}" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "the picture never told $1 rows read, $2 shown" >&2
    return 1
}

# The rows read that the picture's comment tells (0 without a whole picture).
rows_read() {
    n=$(grep -ao '(followed: [0-9]* rows read' a.png 2>/dev/null | tr -cd 0-9)
    echo "${n:-0}"
}

# The CPU time of process $1 so far, in clock ticks: user and system time, fields 14 and 15 of its stat.
ticks() {
    awk '{ print $14 + $15 }' /proc/$1/stat
}
