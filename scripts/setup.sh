#!/usr/bin/env bash
# Shared by run.sh and test.sh: install what is missing, then configure and build.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config qt6-base-dev libfluidsynth-dev timgm6mb-soundfont
          libgif-dev libsqlite3-dev libqt6sql6-sqlite libsodium-dev fonts-liberation fonts-dejavu-core xvfb xauth)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

# --deps-only: install, but do not build (fuzz.sh builds its own tree).
[ "${1:-}" = "--deps-only" ] && exit 0

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
