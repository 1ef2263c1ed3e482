#!/usr/bin/env bash
# Shared by run.sh and test.sh: install the Debian packages the build needs
# (as root), or name the one command that does it, then configure and build.
set -euo pipefail

ZEMTRA_PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools
  libgtest-dev libgmock-dev libbenchmark-dev
  libasound2-dev
  fonts-wqy-microhei
  # Qt's own texts (file dialogs, buttons) in the Chinese window.
  qt6-translations-l10n
  # Install tree checks (desktop entry, AppStream data, man pages) and the
  # .deb (cpack computes its Depends with dpkg-shlibdeps).
  desktop-file-utils appstream man-db dpkg-dev
  # The printout tests read the exported PDF's pages and words.
  poppler-utils
)

zemtra_missing_packages() {
  local missing=() p
  for p in "${ZEMTRA_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  echo "${missing[@]:-}"
}

zemtra_install() {
  local missing
  missing=$(zemtra_missing_packages)
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: $missing" >&2
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq >&2 || true
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >&2
  else
    echo "Some packages are missing. Install them with:" >&2
    echo "  sudo apt-get install -y --no-install-recommends $missing" >&2
    exit 1
  fi
}

# zemtra_build [FOLDER [CMAKE-OPTION...]]: configure and build into FOLDER
# (build/ when not given) of the source tree, whatever the current folder.
zemtra_build() {
  local root dir
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  dir="$root/${1:-build}"
  [ $# -gt 0 ] && shift
  cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >&2
  cmake --build "$dir" -j2 >&2
}
