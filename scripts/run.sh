#!/usr/bin/env bash
# Sets everything up, builds, and starts the Orvanta program.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

bash scripts/setup.sh
bash scripts/build.sh build/release -DORVANTA_BUILD_TESTS=OFF -DORVANTA_BUILD_BENCHMARKS=OFF

batch="$here/build/release/src/batch/orvanta-batch"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No graphical display is available here (DISPLAY and WAYLAND_DISPLAY are unset), so the"
  echo "windowed program cannot start. Evaluating the bundled example with orvanta-batch instead:"
  echo
  echo "  orvanta-batch evaluate --freq examples/tarnfield-lengths.dat --inc examples/tarnfield-tags.dat \\"
  echo "      --alg examples/tarnfield.alg"
  "$batch" evaluate --freq examples/tarnfield-lengths.dat --inc examples/tarnfield-tags.dat \
      --alg examples/tarnfield.alg
  echo
  echo "For the windows, run this command from a desktop session or under xvfb-run."
  exit 0
fi

echo "Starting orvanta in examples/, where its file dialogs open:"
echo "  Initialize model: Load Frequencies tarnfield-lengths.dat, Load Increments tarnfield-tags.dat, OK"
echo "  Load algorithm data: Yes, tarnfield.alg"
cd examples
exec "$here/build/release/src/gui/orvanta"
