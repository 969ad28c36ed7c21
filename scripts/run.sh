#!/usr/bin/env bash
# All set-up, a build, and Quibo started.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
build=${QUIBO_BUILD_DIR:-build}
if [ ! -x "$build/bin/quibo" ]; then
  echo "Built everything; the program itself does not exist yet."
  exit 0
fi
exec "$build/bin/quibo"
