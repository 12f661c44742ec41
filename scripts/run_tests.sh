#!/bin/sh
# Builds everything twice, normally and under AddressSanitizer and
# UndefinedBehaviorSanitizer, with warnings as errors, and runs every test.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing g++ make cmake pkg-config libgtest-dev libgmock-dev libfltk1.3-dev libx11-dev \
  xvfb xdotool x11-apps x11-utils imagemagick libcairo2-dev libcli11-dev nlohmann-json3-dev
for variant in normal sanitize; do
  dir="build-tests-$variant"
  sanitize=OFF
  [ "$variant" = sanitize ] && sanitize=ON
  echo "=== $variant build ==="
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCENARIO_SANITIZE="$sanitize" \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
  cmake --build "$dir" -j2
  ctest --test-dir "$dir" --output-on-failure -j2
done
