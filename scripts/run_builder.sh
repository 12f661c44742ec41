#!/bin/sh
# Builds crea_scenario and runs it: the scenario appears in build/.
set -eu
cd "$(dirname "$0")/.."
. scripts/deps.sh
install_missing g++ make cmake libfltk1.3-dev libx11-dev
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSCENARIO_TESTS=OFF -DSCENARIO_TOOL=OFF
cmake --build build -j2 --target crea_scenario
./build/crea_scenario
echo "crea_scenario: fatto; i file sono in $(pwd)/build"
