#!/usr/bin/env bash
# Installs the dependencies, builds Trimlet and starts it on the bundled demo files.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRIMLET_TESTS=OFF
cmake --build build/release --target trimlet trimlet-check
# The program starts with empty boxes when it finds no settings file; for the demo, this
# script writes one beside the executable (only when there is none yet).
settings=build/release/app/trimlet.ini
if [ ! -e "$settings" ]; then
  printf '[trimlet]\nBIN Location=%s\nECU Location=%s\n' \
    "$PWD/examples/demo.bin" "$PWD/examples/demo.ecu" > "$settings"
fi
exec build/release/app/trimlet
