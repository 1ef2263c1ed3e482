#!/usr/bin/env bash
# Install what is missing, build into build/, and run the program.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
zemtra_install
zemtra_build
if [ -x build/zemtra800 ]; then
  exec build/zemtra800 "$@"
fi
exec build/zemtra800-cli "$@"
