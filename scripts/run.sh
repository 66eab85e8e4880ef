#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it. Arguments go to the program
# (for instance --data-dir DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
./scripts/build.sh
exec ./build/quorvela "$@"
