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

# The Windows build must keep compiling: cross-compile the builder with MinGW.
# Where Wine is at hand, the Windows builder must also write the very bytes
# of the Linux one.
echo "=== windows cross build ==="
install_missing g++-mingw-w64-x86-64
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
