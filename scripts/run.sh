#!/usr/bin/env bash
# Starts the desktop program on the install root, or, where there is no display, prepares the
# root and shows a fit of its sample data with the headless front end.
set -euo pipefail
build=${1:-build}
root=${QUANTEM_ROOT:-$HOME/qorvel_hg}

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$build/src/quantem" --root "$root"
fi

export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
echo "No display found: running a headless demo fit of the sample data in $root instead."
QT_QPA_PLATFORM=offscreen "$build/src/quantem" --root "$root" --prepare-only
"$build/src/quantem-fit" --root "$root" --model 7 --samples 8 --power 1 || true
