#!/usr/bin/env bash
# Installs the Debian packages heatplate needs, only those that are missing.
# Usage: scripts/deps.sh build|core|format|test|bench|fuzz|gui|package|icons|web ...
set -euo pipefail

# libxcb1-dev: the window watches the X server for its own destruction.
desktop=(qt6-base-dev libgif-dev libxcb1-dev)
packages=(g++ cmake ninja-build)
for need in "$@"; do
  case "$need" in
    build) packages+=("${desktop[@]}") ;;
    core) packages+=(clang libgtest-dev libgmock-dev) ;;
    format) packages+=(clang-format) ;;
    test) packages+=(libgtest-dev libgmock-dev libbenchmark-dev locales) ;;
    bench) packages+=("${desktop[@]}" libbenchmark-dev python3 python3-numpy python3-scipy hyperfine) ;;
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    gui) packages+=(xvfb xauth imagemagick xdotool) ;;
    package) packages+=(dpkg-dev fakeroot file lintian desktop-file-utils appstream man-db bash-completion) ;;
    icons) packages+=(librsvg2-bin) ;;
    # The browser edition: Emscripten builds it (patch applies Debian's fixes
    # to giflib), node serves it, Chromium runs its tests.
    web) packages+=(emscripten nodejs patch chromium fonts-dejavu-core) ;;
    *) echo "deps.sh: unknown group '$need'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
  fi
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# npm comes with some builds of nodejs and is a package of its own in Debian's.
for need in "$@"; do
  if [ "$need" = web ] && ! command -v npm >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends npm
  fi
done

# The tests read and write numbers under locales with a decimal comma.
for need in "$@"; do
  if [ "$need" = test ] && ! locale -a 2>/dev/null | grep -qi '^fr_FR.utf8$'; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" sed -i -E 's/^# *(fr_FR.UTF-8 UTF-8|de_DE.UTF-8 UTF-8)/\1/' /etc/locale.gen
    "${sudo_cmd[@]}" locale-gen >/dev/null
  fi
done
