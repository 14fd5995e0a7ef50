#!/usr/bin/env bash
# Sets up the machine, builds the program and starts the English edition on
# the bundled sample database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# A build of one's own: a warning of a newer compiler does not stop it. Said
# each time, since the test command leaves WERROR on in the same build folder.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_BENCH=OFF -DWERROR=OFF
cmake --build build -j "$(nproc)" --target talvessin orsabrine
exec build/bin/talvessin "$@"
