#!/usr/bin/env bash
# All set-up, a build, and every test. Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh "$@"
build=${QUIBO_BUILD_DIR:-build}
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
