#!/usr/bin/env bash
# Installs what building, testing and running Quantem needs, from Debian's packages.
# Idempotent and quiet when everything is already there.
set -euo pipefail

packages=(
    g++ make cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
    libeigen3-dev libtbb-dev qt6-svg-dev clang libclang-rt-14-dev
    xvfb xauth x11-utils imagemagick locales
    fonts-dejavu-core fonts-wqy-microhei
)

# `setup.sh --bench`: also what `make bench` compares against (CI does not need these).
# `setup.sh --install-check`: the desktop's and Debian's own checkers that `make install-check`
# runs on the installed files and the package.
for option in "$@"; do
    case "$option" in
    --bench) packages+=(python3 python3-numpy python3-scipy time) ;;
    --install-check)
        packages+=(dpkg-dev file lintian desktop-file-utils appstream shared-mime-info
            libglib2.0-bin man-db bash-completion python3) ;;
    *) echo "setup.sh: unknown option $option (--bench, --install-check)" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq || true
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
