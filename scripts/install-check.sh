#!/usr/bin/env bash
# Installs a configured and built folder the two ways a user or a distribution does, and checks
# what lands with the desktop's and Debian's own tools:
#   scripts/install-check.sh [BUILD]        (default: build)
# DESTDIR install under /usr and a second prefix; the files listed; from each prefix the installed
# quantem-fit's --version, a fit and a --plot, the installed desktop program preparing a root;
# desktop-file-validate, appstreamcli validate-tree, the file type through gio with a MIME
# database built from the install, icon sizes, man --warnings, the completion, the recorded runs
# on the installed quantem-fit, and lintian on the package that `cpack -G DEB` makes. Any step
# that fails ends the script with status 1.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The installed folders must be 0755 and the files 0644 or 0755 whatever the umask.
umask 077
# The programs' toolkit wants a runtime folder of the user's own.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -p "$XDG_RUNTIME_DIR"

step() { printf '== %s\n' "$*"; }
fail() {
    printf 'install-check: %s\n' "$*" >&2
    exit 1
}
# Runs a checker whose silence is its verdict: any output fails the step.
silent() {
    local said
    said=$("$@" 2>&1) || fail "$* failed: $said"
    [ -z "$said" ] || fail "$* reported: $said"
}

stage=$work/stage
second=$work/second/opt/quantem
step "install into DESTDIR $stage with prefix /usr, and into the prefix $second"
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
cmake --install "$build" --prefix "$second" >/dev/null

step "installed files"
(cd "$stage" && find . -type f -o -type l | sort | sed 's|^\./|/|')
wrong=$(find "$stage" "$second" -mindepth 1 \( -type d ! -perm 0755 \) -o \
    \( -type f ! -perm 0644 ! -perm 0755 \))
[ -z "$wrong" ] || fail "wrong permissions: $wrong"
for prefix in "$stage/usr" "$second"; do
    for program in bin/quantem bin/quantem-data bin/quantem-fit libexec/quantem/quantem-fit-plot; do
        [ -x "$prefix/$program" ] || fail "$prefix/$program is missing or not executable"
    done
done

samples=$work/planets.qtm
printf '0.387,0.241\r\n0.723,0.615\r\n1,1\r\n1.524,1.881\r\n5.203,11.862\r\n9.537,29.457\r\n19.191,84.011\r\n30.069,164.79\r\n' >"$samples"
number=0
for prefix in "$stage/usr" "$second"; do
    number=$((number + 1))
    root=$work/root-$number
    step "$prefix: --version, a root prepared by the desktop program, a fit and a --plot"
    version=$("$prefix/bin/quantem-fit" --version) || fail "quantem-fit --version failed"
    [[ $version =~ ^quantem-fit\ [0-9.]+$ ]] || fail "quantem-fit --version printed '$version'"
    echo "$version"
    for program in quantem quantem-data; do
        "$prefix/bin/$program" --version >/dev/null || fail "$program --version failed"
        "$prefix/bin/$program" --help | grep -q -- --root || fail "$program --help names no --root"
    done
    QT_QPA_PLATFORM=offscreen "$prefix/bin/quantem" --root "$root" --prepare-only ||
        fail "the installed quantem could not prepare $root"
    grep -qF "$prefix/bin/quantem-data" "$root/DATA" ||
        fail "$root/DATA does not start the installed data program: $(cat "$root/DATA")"
    out=$("$prefix/bin/quantem-fit" --root "$root" --model 7 --samples 8 --power 1) ||
        fail "the fit from $prefix failed: $out"
    grep -q '1\.5' <<<"$out" || fail "the fit from $prefix did not find k1 = 1.5: $out"
    "$prefix/bin/quantem-fit" --root "$root" --model 7 --samples 8 --power 1 \
        --plot "$work/chart-$number.png" --plot-size 400x300 >/dev/null ||
        fail "--plot from $prefix failed"
    [ "$(identify -format '%m %wx%h' "$work/chart-$number.png")" = "PNG 400x300" ] ||
        fail "--plot from $prefix wrote no 400x300 PNG"
done

share=$stage/usr/share
step "desktop-file-validate"
for entry in "$share"/applications/*.desktop; do
    silent desktop-file-validate "$entry"
done
step "appstreamcli validate-tree --no-net"
appstreamcli validate-tree --no-net --explain "$stage" || fail "appstreamcli validate-tree failed"

step "the file type of a .qtm file, from the installed MIME database"
XDG_DATA_DIRS=$share update-mime-database "$share/mime"
cp "$samples" "$work/orbits.qtm"
type=$(XDG_DATA_HOME=$work/no-home XDG_DATA_DIRS=$share:/usr/share \
    gio info -a standard::content-type "$work/orbits.qtm" | sed -n 's/^ *standard::content-type: //p')
[ "$type" = application/x-quantem-samples ] || fail "gio gives '$type' for a .qtm file"
echo "$type"

step "icon sizes"
icons=0
for icon in "$share"/icons/hicolor/*x*/apps/*.png; do
    folder=$(basename "$(dirname "$(dirname "$icon")")")
    size=$(identify -format '%wx%h' "$icon")
    [ "$size" = "$folder" ] || fail "$icon is $size"
    icons=$((icons + 1))
done
[ "$icons" -eq 8 ] || fail "$icons PNG icons, not 8"
[ -f "$share/icons/hicolor/scalable/apps/io.github.quantem.quantem.svg" ] || fail "no SVG icon"

step "man --warnings"
for page in "$share"/man/man1/*.1.gz; do
    said=$(man --warnings -l "$page" 2>&1 >/dev/null) || fail "man could not show $page: $said"
    [ -z "$said" ] || fail "man --warnings on $page: $said"
done

step "bash completion"
completed=$(bash -c 'source /usr/share/bash-completion/bash_completion
    source "$1"; COMP_WORDS=(quantem-fit --weights inv); COMP_CWORD=2; COMP_LINE="${COMP_WORDS[*]}"
    COMP_POINT=${#COMP_LINE}; _quantem_fit quantem-fit inv --weights; echo "${COMPREPLY[*]}"' \
    _ "$share/bash-completion/completions/quantem-fit")
[ "$completed" = "inverse-y inverse-y2" ] || fail "--weights inv completes to '$completed'"

step "recorded runs on the installed quantem-fit"
reference=$(sed -n 's/^QUANTEM_REFERENCE_DATA:PATH=//p' "$build/CMakeCache.txt")
python3 "$here/scripts/replay-recorded-runs.py" "$second/bin/quantem-fit" \
    "${reference:-$here/../shared/reference-data}/recorded-runs/cases.jsonl" ||
    fail "recorded runs differ"

step "cpack -G DEB and lintian"
rm -f "$build"/quantem_*.deb
(cd "$build" && cpack -G DEB >/dev/null) || fail "cpack -G DEB failed"
deb=$(ls "$build"/quantem_*.deb)
dpkg-deb --info "$deb" | sed -n 's/^ \(Package\|Version\|Section\|Depends\):/\1:/p'
said=$(lintian --allow-root --fail-on error,warning "$deb" 2>&1) || {
    echo "$said"
    fail "lintian failed on $deb"
}
echo "${said:-lintian: nothing to report}"
! grep -q '^[EW]:' <<<"$said" || fail "lintian reports errors or warnings"
echo "install-check: all steps passed"
