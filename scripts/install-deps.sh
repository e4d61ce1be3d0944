#!/usr/bin/env bash
# Installs everything Trimlet needs to build, run and test, from Debian's packages.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  cmake ninja-build g++ make qt6-base-dev libgl-dev libgtest-dev libgmock-dev \
  libbenchmark-dev clang libclang-rt-14-dev clang-format xvfb xauth x11-utils imagemagick \
  git pkg-config nettle-dev libboost-dev libfiu-dev fiu-utils dpkg-dev lintian appstream \
  desktop-file-utils >/dev/null
