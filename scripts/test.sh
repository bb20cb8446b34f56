#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# VORN_SANITIZE=1 builds with AddressSanitizer and UBSan in build-sanitize/;
# VORN_WERROR=1 treats compiler warnings as errors.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
if [ "${VORN_SANITIZE:-0}" = 1 ]; then
    export VORN_BUILD_DIR="${VORN_BUILD_DIR:-$root/build-sanitize}"
    "$root/scripts/build.sh" -DVORN_SANITIZE=ON -DVORN_WERROR="${VORN_WERROR:-0}"
else
    export VORN_BUILD_DIR="${VORN_BUILD_DIR:-$root/build}"
    "$root/scripts/build.sh" -DVORN_SANITIZE=OFF -DVORN_WERROR="${VORN_WERROR:-0}"
fi
cd "$VORN_BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2
