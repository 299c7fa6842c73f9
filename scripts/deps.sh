#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need, when
# they are missing (apt-get as root, through sudo otherwise). Extra package
# names may be given as arguments.
set -euo pipefail

# proj-data: the grids that the grid shift tests compare with PROJ's values.
# qt6-tools-dev and qt6-l10n-tools: lupdate and lrelease for the desktop's
# translations; qt6-translations-l10n: Qt's own, which the desktop loads.
packages=(cmake g++ make pkg-config libxerces-c-dev libshp-dev libsqlite3-dev
          libgtest-dev qt6-base-dev qt6-base-dev-tools qt6-tools-dev
          qt6-l10n-tools qt6-translations-l10n proj-data "$@")
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null |
            grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"
fi
