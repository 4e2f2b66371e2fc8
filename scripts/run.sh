#!/usr/bin/env bash
# Builds Ledora and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target ledora -j"$(nproc)"
exec build/ledora
