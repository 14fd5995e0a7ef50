#!/usr/bin/env bash
# Installs what the build, the tests and the program need on a Debian machine
# (LibreOffice without its desktop parts, so a test can open the exports as a
# spreadsheet and word processor would).
set -euo pipefail
packages=(cmake g++ ninja-build qt6-base-dev qt6-svg-dev libgtest-dev libgmock-dev libbenchmark-dev
          qt6-translations-l10n fonts-liberation python3 xvfb xauth imagemagick clang libclang-rt-dev libfuzzer-14-dev
          libreoffice-calc-nogui libreoffice-writer-nogui)
if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -q
"${sudo[@]}" apt-get install -y -q --no-install-recommends "${packages[@]}"
