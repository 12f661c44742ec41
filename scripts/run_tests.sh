#!/bin/sh
# Builds everything with warnings as errors and runs every test: first the
# Windows build cross-compiled with MinGW, then the normal build, whose suites
# also run the Windows build under Wine (same bytes as the Linux builder, the
# window and the error box, with screenshots kept in
# build-tests-normal/screenshots), then the release archives made from both
# builds, last a build under AddressSanitizer and UndefinedBehaviorSanitizer.
# Both Linux builds also open the report page of `scenario rapporto` in a
# headless Chromium (its screenshots go to the same screenshots folder).
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing g++ make cmake pkg-config libgtest-dev libgmock-dev libfltk1.3-dev libx11-dev \
  xvfb xdotool x11-apps x11-utils imagemagick libcairo2-dev libcli11-dev nlohmann-json3-dev \
  g++-mingw-w64-x86-64 wine64 chromium python3 python3-websocket fonts-dejavu-core

run_suite() {  # run_suite DIR SANITIZE [CMAKE OPTION...]
  dir=$1 sanitize=$2
  shift 2
  echo "=== build $dir ==="
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCENARIO_SANITIZE="$sanitize" \
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "$@"
  cmake --build "$dir" -j2
  mkdir -p "$dir/screenshots"
  SCENARIO_SCREENSHOT_DIR="$(pwd)/$dir/screenshots" ctest --test-dir "$dir" --output-on-failure -j2
}

echo "=== build build-tests-windows ==="
cmake -S . -B build-tests-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
cmake --build build-tests-windows -j2

run_suite build-tests-normal OFF -DSCENARIO_WINDOWS_BUILD="$(pwd)/build-tests-windows"

echo "=== release archives ==="
rm -rf build-tests-dist
(cd build-tests-normal && cpack -B "$(pwd)/../build-tests-dist" >/dev/null)
(cd build-tests-windows && cpack -B "$(pwd)/../build-tests-dist" >/dev/null)
sh scripts/check_archives.sh build-tests-dist/scenario-*-Linux.tar.gz \
  build-tests-dist/scenario-*-win64.zip

run_suite build-tests-sanitize ON
