#!/usr/bin/env bash
# Builds ORMA and starts it in the sample folder, next to the bundled sample data.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORMA_WITH_BENCH=OFF -DORMA_UNITY_BUILD=ON
cmake --build build-release -j "$(nproc)" --target orma ormacli
cd samples
exec ../build-release/app/orma "$@"
