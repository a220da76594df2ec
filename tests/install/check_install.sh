#!/usr/bin/env bash
# Installs the built project into scratch folders as an administrator would, and checks what a user then meets:
# the installed program plots the bundled example from any folder, the manual page renders without warnings and
# names every long option of the option table, bash completes options and files, a C program builds against the
# installed twgr through pkg-config and draws, and the Debian package carries the same files with computed Depends.
# Usage: check_install.sh BUILD_DIR SOURCE_DIR OPTION_NAMES_PROGRAM
set -euo pipefail
build=$(realpath "$1")
source_dir=$(realpath "$2")
option_names=$(realpath "$3")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# ---- cmake --install into a DESTDIR, under the default prefix ----
root=$scratch/root
prefix=/usr/local
DESTDIR=$root cmake --install "$build" --prefix "$prefix" >"$scratch/install.log"
installed=$root$prefix
for file in bin/tremwil share/man/man1/tremwil.1 share/bash-completion/completions/tremwil \
    share/zsh/site-functions/_tremwil lib/libtwgr.a include/twgr.h lib/pkgconfig/twgr.pc; do
    [ -f "$installed/$file" ] || fail "the install lacks $prefix/$file"
done

# ---- the installed program, run from a folder of its own ----
work=$scratch/work
mkdir -p "$work"
cp "$source_dir/examples/example.dat" "$work/"
(cd "$work" && "$installed/bin/tremwil" --in-memory --quiet -x 1 -y 2 -z 3 example.dat) >"$scratch/run.log" 2>&1 ||
    fail "the installed tremwil failed on the example: $(cat "$scratch/run.log")"
[ "$(head -c 8 "$work/example.png" 2>/dev/null | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
    fail "the installed tremwil wrote no PNG example.png"
grep -q 'example.dat' "$work/logfile" 2>/dev/null || fail "the installed tremwil wrote no line to ./logfile"
version_line=$("$installed/bin/tremwil" --version)

# ---- the manual page ----
man_page=$installed/share/man/man1/tremwil.1
LC_ALL=C MANWIDTH=100 man --warnings -l "$man_page" >"$scratch/man.txt" 2>"$scratch/man.warnings" ||
    fail "man could not render the page"
[ -s "$scratch/man.warnings" ] && fail "man --warnings: $(cat "$scratch/man.warnings")"
col -b <"$scratch/man.txt" >"$scratch/man.plain"
mapfile -t long_options < <("$option_names")
[ "${#long_options[@]}" -gt 100 ] || fail "option_names listed only ${#long_options[@]} options"
missing=()
for option in "${long_options[@]}"; do
    name=${option%=}
    # Whole names only: --debug must not be found inside --debug2, nor --x inside --x-time.
    grep -Eq -- "(^|[^[:alnum:]_-])${name}([^[:alnum:]_-]|$)" "$scratch/man.plain" || missing+=("$name")
done
((${#missing[@]} == 0)) || fail "the manual page does not name: ${missing[*]}"

# ---- bash completion ----
completion=$installed/share/bash-completion/completions/tremwil
complete_words() { # the words of the command line being completed, the last one being the word under the cursor
    (cd "$work" && bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$0"
        COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
        # The line as typed: bash splits "--font=" into "--font" and "=", with no blanks between.
        COMP_LINE=; previous=
        for word in "$@"; do
            if [[ $word == = || $previous == = ]]; then COMP_LINE+=$word; else COMP_LINE+=${COMP_LINE:+ }$word; fi
            previous=$word
        done
        COMP_POINT=${#COMP_LINE}
        _tremwil tremwil "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
        printf "%s\n" "${COMPREPLY[@]}"' "$completion" "$@")
}
touch "$work/serif.fna" "$work/run2.dat"
check_completion() { # expected words (space-separated), unwanted words, then the command line
    local want=$1 unwanted=$2 offered
    shift 2
    offered=" $(complete_words "$@" | tr '\n' ' ')"
    for word in $want; do
        [[ $offered == *" $word "* ]] || fail "completing '$*' offers [$offered], not $word"
    done
    for word in $unwanted; do
        [[ $offered != *" $word "* ]] || fail "completing '$*' offers $word"
    done
}
check_completion "--scalez= --scalee= --scaleinfo" "--scale" tremwil --scale
check_completion "--fullhelp" "--fullhelp=" tremwil --fu
check_completion "serif.fna" "run2.dat example.dat" tremwil --font = ""
check_completion "example.dat run2.dat" "example.png" tremwil -x 1 ""
check_completion "" "example.dat --scalez=" tremwil --scalez ""
zsh -n "$installed/share/zsh/site-functions/_tremwil" || fail "the zsh completion does not parse"

# ---- a C program against the installed twgr, through pkg-config ----
pc_dir=$installed/lib/pkgconfig
grep -qx "prefix=$prefix" "$pc_dir/twgr.pc" || fail "twgr.pc does not name the install prefix $prefix"
twgr_flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --define-variable=prefix="$installed" --cflags --libs twgr)
for compiler in "cc -std=c11" "c++ -x c++ -std=c++20"; do
    # shellcheck disable=SC2086 # the flags are words
    $compiler -Wall -Wextra -Wpedantic -Werror "$source_dir/examples/twgr_demo.c" -x none $twgr_flags \
        -o "$scratch/twgr_demo" 2>"$scratch/cc.log" || {
        fail "$compiler could not build examples/twgr_demo.c with '$twgr_flags': $(cat "$scratch/cc.log")"
        continue
    }
    rm -f "$work/demo.png"
    (cd "$work" && "$scratch/twgr_demo" demo.png >/dev/null) || fail "twgr_demo built by $compiler failed"
    # Bytes 16-23 of a PNG are the width and height of its IHDR record.
    [ "$(od -An -tx1 -j16 -N8 "$work/demo.png" 2>/dev/null | tr -d ' \n')" = 00000140000000c8 ] ||
        fail "twgr_demo built by $compiler did not save a 320 x 200 PNG"
done

# ---- the Debian package ----
(cd "$build" && cpack -G DEB -B "$scratch/deb") >"$scratch/cpack.log" 2>&1 || fail "cpack: $(tail -20 "$scratch/cpack.log")"
deb=$(find "$scratch/deb" -maxdepth 1 -name '*.deb' | head -n 1)
if [ -z "$deb" ]; then
    fail "cpack made no .deb"
else
    depends=$(dpkg-deb -f "$deb" Depends)
    for library in libpng16-16 libsdl2-2.0-0 libc6 libstdc++6; do
        [[ $depends == *"$library"* ]] || fail "Depends lacks $library: $depends"
    done
    deb_version=$(dpkg-deb -f "$deb" Version)
    [[ $version_line == "tremwil Version $deb_version "* ]] ||
        fail "package version $deb_version is not the program's: $version_line"
    # The package holds what cmake --install puts under /usr, no more and no less.
    DESTDIR=$scratch/usr_root cmake --install "$build" --prefix /usr >/dev/null
    (cd "$scratch/usr_root" && find . -type f | sort) >"$scratch/installed.list"
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $NF}' | sort >"$scratch/deb.list"
    diff "$scratch/installed.list" "$scratch/deb.list" >"$scratch/list.diff" ||
        fail "the package's files differ from the install's: $(cat "$scratch/list.diff")"
    grep -qx './usr/share/zsh/vendor-completions/_tremwil' "$scratch/deb.list" ||
        fail "the package puts the zsh completion where Debian's zsh does not look"
fi

if ((failures)); then
    echo "$failures install check(s) failed" >&2
    exit 1
fi
echo "install, manual page, completion, twgr with pkg-config and the Debian package: all checks passed"
