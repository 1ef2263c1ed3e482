#!/usr/bin/env bash
# Install what is missing, build into build/ of the source tree, and run the
# program in the folder the user is in, so that relative file names, the
# help files and Save As all follow that folder.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$root/tools/setup.sh"
zemtra_install
zemtra_build
if [ -x "$root/build/zemtra800" ]; then
  exec "$root/build/zemtra800" "$@"
fi
exec "$root/build/zemtra800-cli" "$@"
