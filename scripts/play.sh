#!/usr/bin/env bash
# Sets everything up and starts the game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh build
exec build/game/velkaro
