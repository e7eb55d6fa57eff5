#!/usr/bin/env bash
# Installs what is missing, builds Tarvik and starts it with the given command line.
set -euo pipefail
TARVIK_ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$TARVIK_ROOT/scripts/deps.sh"
tarvik_install_missing "${TARVIK_PACKAGES[@]}"
# Only the program: the tests and benchmarks are built by test.sh.
tarvik_configure_and_build "$TARVIK_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -- --target tarvik >/dev/null
exec "$TARVIK_ROOT/build/src/app/tarvik" "$@"
