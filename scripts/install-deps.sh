#!/usr/bin/env bash
# Installs everything the builds and tests need, from Debian's packages only.
# Idempotent and non-interactive; skips what is already there. Run as root.
set -euo pipefail

packages=(
  cmake ninja-build git python3
  g++ clang libclang-rt-14-dev
  googletest
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine64 libwine-dev
  xvfb x11-apps x11-utils imagemagick
  emf2svg librsvg2-bin
  libpng-dev pngcheck
  fonts-ipafont-gothic
  locales
  python3-olefile python3-xlrd libreoffice-calc-nogui
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: these packages are missing and need root: ${missing[*]}" >&2
    exit 1
  fi
  echo "install-deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# The Windows build runs under Wine with code page 932, which needs the Japanese locale.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: locale ja_JP.UTF-8 is missing and needs root" >&2
    exit 1
  fi
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
echo "install-deps: all packages present"
