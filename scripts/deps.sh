#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, only when some are missing.
set -euo pipefail

packages=(
    cmake g++ make ccache clang-format
    qt6-base-dev qt6-base-dev-tools libgl-dev libcurl4-openssl-dev
    fonts-liberation
    xvfb xauth trayer xdotool x11-utils xfce4-panel dunst dbus-daemon python3-dbus python3-gi
    at-spi2-core gir1.2-atspi-2.0
    weston qt6-wayland
    librsvg2-bin appstream
    libbenchmark-dev curl time
    clang-14 libfuzzer-14-dev clang-tidy valgrind
    chromium poppler-utils
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
