#!/usr/bin/env bash
# Installs what is missing, builds VORN and starts it with the bundled sample disc
# mapped as virtual drive V:, so it runs on a machine without an optical drive.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build="${VORN_BUILD_DIR:-$root/build}"
export VORN_DRIVES="${VORN_DRIVES:-V=$root/samples/disc}"
exec "$build/src/app/vorn" "$@"
