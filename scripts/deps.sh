#!/usr/bin/env bash
# Installs with apt-get whatever the build and the tests need and is not there yet.
set -euo pipefail
pkgs=(cmake ninja-build ccache g++ clang libclang-rt-14-dev pkg-config
      qt6-base-dev libjpeg-dev libpng-dev libsqlite3-dev sqlite3 googletest libgtest-dev libbenchmark-dev
      icoutils imagemagick libtiff-tools giflib-tools gifsicle netpbm bc libjpeg-turbo-progs libwmf-bin
      binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 desktop-file-utils libglib2.0-bin xvfb file cpp
      fonts-urw-base35  # libwmf draws nothing without a font set
      libgdk-pixbuf-2.0-0  # its ANI loader is the animated-cursor oracle
      wine64)  # its modules are real PE32+ material for the module reader's oracle
# Oracles of the cipher and hash tests.
pkgs+=(rhash python3 python3-pycryptodome python3-crcmod libmhash2 libgcrypt20 libcrypto++-utils libcrypto++-dev
      sharutils uudeview openssl xxd)
# The toolbar library's and the main window's tests under a real X server and window manager.
pkgs+=(xauth xdotool wmctrl openbox x11-utils libx11-dev)
# The file dialog's test watches the files the program opens.
pkgs+=(strace)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
