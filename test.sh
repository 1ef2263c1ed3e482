#!/usr/bin/env bash
# Install what is missing, build into build/, and run every test.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
zemtra_install
zemtra_build
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 120
