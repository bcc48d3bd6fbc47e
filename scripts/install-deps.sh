#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests, the package and its
# checks, and the benchmarks need.
# Idempotent: a package already present is left alone, and nothing runs when
# everything is installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev
  qtkeychain-qt6-dev
  libcanberra-dev
  libssl-dev openssl
  libgumbo-dev
  libsqlite3-dev
  nlohmann-json3-dev
  media-types
  unrtf poppler-utils
  dovecot-core dovecot-pop3d python3-aiosmtpd curl
  wamerican hunspell hunspell-en-us libhunspell-dev
  xdg-utils
  librsvg2-bin
  dpkg-dev file man-db lintian desktop-file-utils appstream
  dbus-daemon dbus-bin gnome-keyring
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
