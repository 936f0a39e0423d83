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

# The second Gerber reader of the tests (tracespace) comes from the npm
# registry at the versions of tools/tracespace/package-lock.json. Debian's
# npm is installed only when no npm came with nodejs (NodeSource's nodejs
# carries its own and conflicts with Debian's).
if ! command -v npm >/dev/null; then
    sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends npm
fi
tracespace="$build/tracespace"
if ! cmp -s "$root/tools/tracespace/package-lock.json" "$tracespace/package-lock.json" \
    || [[ ! -d "$tracespace/node_modules/gerber-to-svg" ]]; then
    mkdir -p "$tracespace"
    cp "$root/tools/tracespace/package.json" "$root/tools/tracespace/package-lock.json" "$tracespace/"
    echo "setup: installing the tracespace Gerber reader (npm ci)"
    if ! npm ci --prefix "$tracespace" --no-audit --no-fund --loglevel=error; then
        rm -f "$tracespace/package-lock.json"
        echo "setup: cannot install the npm packages of tools/tracespace/package-lock.json;" >&2
        echo "       the Gerber reader checks need them (is the npm registry reachable?)" >&2
        exit 1
    fi
fi

export CCACHE_BASEDIR="$root"
if [[ ! -f "$build/build.ninja" ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
jobs="${VESK_JOBS:-$(nproc)}"
cmake --build "$build" -j "$jobs" ${1:+--target "$@"}
