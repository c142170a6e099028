#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running tanka need.
# Packages already installed are skipped; nothing is asked (non-interactive).
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libqt6sql6-sqlite libqt6sql6-odbc qt6-translations-l10n
  unixodbc tdsodbc libsqliteodbc sqlite3 libsqlite3-dev
  libgtest-dev libbenchmark-dev
  xvfb xauth fonts-ipafont-gothic
  clang libclang-rt-14-dev llvm
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
