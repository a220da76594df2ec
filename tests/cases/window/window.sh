# Shell functions for the window cases, which copy this file into their run folder and source it. The program runs
# in its window on an X server of the case's own, with --debug, its outputs in tw.out and tw.err. Every wait polls
# what the program reports on standard error or what the X server reports of its windows, never a time; the limit of
# a wait (30 s) only ends a hang, and keeps a failing case well inside the harness's two minutes. X tools run under
# timeout: an X client can otherwise hang. The cases set BIN (the program) and WM_CLOSE (the close-button tool).

# A picture composed. It is written once the window is shown and input is kept (keys sent before are lost).
composed=') plotting dataset 0$'
# A press or release of a mouse button.
clicked=') ev.type=2$'

# Polls the command until it succeeds, for 30 s at most; says which wait ran out. In a subshell of its own, so that
# a wait within a wait keeps its own limit (the commands waited for set no variables).
eventually() (
    give_up=$(($(date +%s) + 30))
    until "$@"; do
        if [ "$(date +%s)" -ge "$give_up" ]; then
            echo "waited 30 s in vain for: $*" >&2
            exit 1
        fi
        sleep 0.05
    done
)

# Starts an X server of the case's own and stops it (and the program) on every way out of the case. Xvfb takes a
# free display number itself and names it once it accepts connections, so that cases running side by side never
# share one; -r: keys do not repeat, so that a key whose release comes late on a loaded machine is still one press.
# The server keeps its lock, its socket and its compiled keymaps outside the run folder, as every X server does: it
# alone runs without the write guard.
start_x() {
    trap stop EXIT
    trap 'exit 129' HUP
    trap 'exit 130' INT
    trap 'exit 143' TERM
    env -u LD_PRELOAD Xvfb -displayfd 3 -r -screen 0 1024x768x24 -nolisten tcp 3>display 2>/dev/null &
    xvfb=$!
    eventually test -s display || return 1
    DISPLAY=:$(cat display)
    export DISPLAY
}

# A case that fails shows the end of the program's trace. Nothing here may end the shell before the server is
# stopped (set -e would, at a kill of a program that has ended).
stop() {
    failed=$?
    set +e
    [ "$failed" = 0 ] || [ ! -f tw.err ] || { echo "the end of the program's trace:" && tail -n 15 tw.err; } >&2
    [ -z "$app" ] || kill -KILL "$app" 2>/dev/null
    [ -z "$xvfb" ] || { kill "$xvfb" && wait "$xvfb"; } 2>/dev/null
}

# Runs an X tool on the case's server.
x() {
    timeout 30 "$@"
}

# Starts the program in its window and waits for its first picture. The outputs of a run before are emptied here,
# not by the background process's redirection, which could come after a first look at them.
start() {
    : >tw.out
    : >tw.err
    "$BIN" --debug "$@" >>tw.out 2>>tw.err &
    app=$!
    pictures=0
    next_picture
}

running() {
    kill -0 "$app" 2>/dev/null
}
ended() {
    ! running
}

# How often the file ($2, else tw.err) holds the text, overlapping occurrences included; a text ending in $ counts
# only at a line's end.
count() {
    awk -v t="$1" 'BEGIN { end = t ~ /\$$/; if (end) t = substr(t, 1, length(t) - 1) }
        end { n += length($0) >= length(t) && substr($0, length($0) - length(t) + 1) == t }
        !end { for (s = $0; (at = index(s, t)) > 0; s = substr(s, at + 1)) n++ }
        END { print n + 0 }' "${2:-tw.err}"
}

# Tells how often the program's trace holds each text, for the case to match: ") Columns: 3$: 4 times".
tell_counts() {
    for t; do
        echo "$t: $(count "$t") times"
    done
}

# Waits until the file ($3, else tw.err) holds the text more than $2 times, or the program has ended.
more_than() {
    [ "$(count "$1" "$3")" -gt "$2" ] || ! running
}
await() {
    eventually more_than "$@" && [ "$(count "$1" "$3")" -gt "$2" ]
}

# Waits for the program's next picture; fails when it ended instead.
next_picture() {
    await "$composed" "$pictures" && pictures=$((pictures + 1))
}

# A real key press over the window: on a server without a window manager the focus follows the pointer.
key() {
    x xdotool mousemove 300 300 key "$1"
}

# A key that leads to another picture; succeeds once the program has composed it.
press() {
    key "$1" && next_picture
}

# A key that draws the page again (r, s) whatever the pictures before; succeeds once it is drawn.
redraw() {
    set -- "$1" "$(count "$composed")"
    key "$1" && await "$composed" "$2"
}

# The id of the shown window of that name (xdotool finds no window named in UTF-8 alone, as the question box is).
window_id() {
    x xwininfo -name "$1" 2>/dev/null | awk '/Window id:/ { id = $4 } /IsViewable/ { print id }' | grep .
}
window() {
    eventually window_id "$1" >/dev/null && window_id "$1"
}

# The close button: the question box appears and takes the key $1; succeeds once the box has gone.
close_and_answer() {
    id=$(window TWGR) && x "$WM_CLOSE" "$id" && box=$(window Abort) && x xdotool key --window "$box" "$1" &&
        eventually gone "$box"
}
gone() {
    ! x xwininfo -id "$1" >/dev/null 2>&1
}

# Grabs what the program's window shows into the picture $1.
grab() {
    id=$(window TWGR) && x import -window "$id" -depth 8 "PNG24:$1"
}

# The number of pixels by which two pictures of one size differ; nothing for pictures of two sizes (compare would
# look for the smaller in the larger) or none.
differing() {
    [ "$(identify -format %wx%h "$1")" = "$(identify -format %wx%h "$2")" ] &&
        compare -metric AE "$1" "$2" null: 2>&1 | grep -x '[0-9][0-9]*'
}
alike() {
    [ "$(differing "$1" "$2")" = 0 ]
}

# Two pictures of one size that differ in some pixel.
differ() {
    n=$(differing "$1" "$2") && [ "$n" != 0 ]
}

# Waits until the window shows the picture $1 (it is painted from the frame a little after the drawing) and keeps
# the last grab as $2, for the case to compare pixel for pixel.
grab_alike() {
    grab "$2" && alike "$1" "$2"
}
shown() {
    eventually grab_alike "$1" "$2"
}

# Waits for the program to end and tells its exit status; fails when it had to be killed after 30 s, so that a
# case's runs stay within the harness's limit.
finish() {
    if ! eventually ended; then
        kill -KILL "$app"
        return 1
    fi
    status=0
    wait "$app" || status=$?
    app=
    echo "exit status $status"
}

# xdotool on the program's window: "mousemove @ x y" places the pointer at a pixel of the page ('@' stands for
# --window and the window's id); one call takes several actions in turn.
in_window() {
    id=$(window TWGR) || return 1
    set -- $(echo "$*" | sed "s/@/--window $id/g")
    x xdotool "$@"
}

# The pointer onto the page's top-left margin: the readout of the values under it goes.
pointer_off_plot() {
    in_window mousemove @ 2 2
}

# The last line the program printed that starts with $1.
last_line() {
    grep -- "^$1" tw.out | tail -n 1
}
# The option names of such a line, for the case to match: "--width= --height=".
option_names() {
    echo "$1" | sed 's/=[^ ]*/=/g'
}

# The centre of the pure red pixels in the top right quarter of the picture, "x y": the middle of their bounding box,
# rounded down. All else is made black, with a black border so that the trim box finds the red from every side.
red_centre_top_right() {
    set -- "$1" $(identify -format '%w %h' "$1")
    set -- $(convert "$1" -crop "$(($2 - $2 * 3 / 4))x$(($3 / 4))+$(($2 * 3 / 4))+0" +repage \
        -fill black +opaque 'rgb(255,0,0)' -bordercolor black -border 1 -format %@ info: | tr x+ '  ') "$2"
    [ "$1" -gt 0 ] || { echo "no red mark in the top right quarter" >&2 && return 1; }
    echo "$(($5 * 3 / 4 + $3 - 1 + ($1 - 1) / 2)) $(($4 - 1 + ($2 - 1) / 2))"
}

# A batch run's picture of a.dat with more options, in a folder of its own (its outputs must not take the place of
# the window run's), without the path heading, which names the folder.
batch() {
    name=$1
    shift
    mkdir -p batch && cp a.dat batch/ && (cd batch && "$BIN" --in-memory --nopath "$@" -o "$name" a.dat >/dev/null)
}
