#!/usr/bin/env bash
# Installs what is missing, builds, makes the default content and plays the presentation.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cd build
exec ./voruzavur
