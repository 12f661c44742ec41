#!/bin/sh
# Builds the release archives into dist/:
#   scenario-<version>-Linux.tar.gz  crea_scenario (with its window module) and scenario
#                                    for Linux
#   scenario-<version>-win64.zip     crea_scenario.exe and scenario.exe for Windows
# each with README.md and LICENSE, and checks them.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing g++ make cmake pkg-config libfltk1.3-dev libx11-dev libcairo2-dev \
  libcli11-dev nlohmann-json3-dev g++-mingw-w64-x86-64

rm -rf dist
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSCENARIO_TESTS=OFF
cmake --build build-release -j2
(cd build-release && cpack -B "$(pwd)/../dist")
cmake -S . -B build-release-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DSCENARIO_TESTS=OFF
cmake --build build-release-win -j2
(cd build-release-win && cpack -B "$(pwd)/../dist")
rm -rf dist/_CPack_Packages
sh scripts/check_archives.sh dist/scenario-*-Linux.tar.gz dist/scenario-*-win64.zip
echo "make_archives: fatto; gli archivi sono in $(pwd)/dist"
