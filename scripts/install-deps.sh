#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Idempotent: when everything
# is present it only checks and returns.
set -euo pipefail

packages=(
  build-essential cmake make pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libsqlite3-dev
  qt6-base-dev libgl-dev
  python3
  fonts-liberation2 poppler-utils
  fonts-noto-cjk  # the Japanese and Chinese texts in the windows and the report
  chromium  # headless, for the test that submits the online shop's basket form
  dpkg-dev fakeroot librsvg2-bin lintian  # the Debian package: shlibdeps, icons, its check
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

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
