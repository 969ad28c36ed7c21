#!/usr/bin/env bash
# All set-up, a build, and Quibo started.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
build=${QUIBO_BUILD_DIR:-build}
# The layout controls are components: register the library this build made.
if [ -x "$build/bin/compreg" ] && [ -f "$build/bin/libtlvFormControls.so" ]; then
  "$build/bin/compreg" "$build/bin/libtlvFormControls.so"
fi
exec "$build/bin/quibo"
