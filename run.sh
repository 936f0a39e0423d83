#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the editor: ./run.sh [DOCUMENT.vbf]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$root/tools/setup.sh" vesk

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && -z "${QT_QPA_PLATFORM:-}" ]]; then
    echo "vesk: no display is available (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "      Start it from a desktop session, or under a virtual one: xvfb-run ./run.sh" >&2
    exit 1
fi
exec "${VESK_BUILD_DIR:-$root/build}/bin/vesk" "$@"
