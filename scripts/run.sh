#!/usr/bin/env bash
# Installs what is missing, builds Vexa! and starts it. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec ./build/vexa "$@"
