#!/usr/bin/env bash
# Sets everything up, builds, and starts the Orvanta program.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

bash scripts/setup.sh
bash scripts/build.sh build/release -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCHMARKS=OFF

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != "offscreen" ]; then
  echo "orvanta needs a graphical display, and none is available here (DISPLAY and WAYLAND_DISPLAY are unset)."
  echo "Run this command from a desktop session, or under a virtual display: xvfb-run bash scripts/run.sh"
  echo "The command-line program is ready: build/release/src/batch/orvanta-batch --help"
  exit 1
fi
exec build/release/src/gui/orvanta
