#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test: ./test.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${VESK_BUILD_DIR:-$root/build}"
"$root/tools/setup.sh"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j "${VESK_JOBS:-$(nproc)}"
"$root/tools/fuzz.sh" short
