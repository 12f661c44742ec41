#!/bin/sh
# Builds everything with warnings as errors and runs every test: first a
# normal build, then the Windows builder cross-compiled with MinGW (and, where
# Wine is at hand, checked to write the very bytes of the Linux one), last a
# build under AddressSanitizer and UndefinedBehaviorSanitizer.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing g++ make cmake pkg-config libgtest-dev libgmock-dev libfltk1.3-dev libx11-dev \
  xvfb xdotool x11-apps x11-utils imagemagick libcairo2-dev libcli11-dev nlohmann-json3-dev \
  g++-mingw-w64-x86-64

run_suite() {  # run_suite DIR SANITIZE
  echo "=== build $1 ==="
  cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCENARIO_SANITIZE="$2" \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
  cmake --build "$1" -j2
  ctest --test-dir "$1" --output-on-failure -j2
}

run_suite build-tests-normal OFF

echo "=== build build-tests-windows ==="
cmake -S . -B build-tests-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DSCENARIO_TESTS=OFF -DSCENARIO_TOOL=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build-tests-windows -j2
wine=$(command -v wine64 || ls /usr/lib/wine/wine64 2>/dev/null || true)
if [ -n "$wine" ]; then
  sh scripts/compare_windows.sh "$wine" build-tests-normal/crea_scenario \
    build-tests-windows/crea_scenario.exe
else
  echo "wine64 not installed: the Windows builder was compiled but not run"
fi

run_suite build-tests-sanitize ON
