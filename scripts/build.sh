#!/usr/bin/env bash
# Configures and builds into ${QUIBO_BUILD_DIR:-build}. Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${QUIBO_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${QUIBO_BUILD_TYPE:-RelWithDebInfo} "$@"
cmake --build "$build" -j"$(nproc)"
