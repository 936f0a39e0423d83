#!/usr/bin/env bash
# Installs the Debian packages the project needs (tools/packages.txt) when any
# is missing, then configures and builds into build/. Sourced or run by
# run.sh and test.sh; extra arguments name the targets to build.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${VESK_BUILD_DIR:-$root/build}"

missing=()
while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done < "$root/tools/packages.txt"

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo=()
    if [[ $(id -u) -ne 0 ]]; then
        command -v sudo >/dev/null || { echo "setup: need root or sudo to install packages" >&2; exit 1; }
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

export CCACHE_BASEDIR="$root"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
jobs="${VESK_JOBS:-$(nproc)}"
cmake --build "$build" -j "$jobs" ${1:+--target "$@"}
