#!/usr/bin/env bash
# Sets up the machine, builds the program and starts the English edition on
# the bundled sample database.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_BENCH=OFF
cmake --build build -j "$(nproc)" --target talvessin orsabrine
exec build/bin/talvessin "$@"
