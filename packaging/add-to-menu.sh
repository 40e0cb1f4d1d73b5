#!/bin/sh
# Puts this folder's Linegauge entry into the user's application menu (and takes it out again
# with --remove). The entry names the program in this folder, so run it again after moving it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
menu=${XDG_DATA_HOME:-$HOME/.local/share}/applications
entry=$menu/linegauge.desktop

case "${1:-}" in
--remove)
    rm -f "$entry"
    echo "Removed $entry"
    ;;
"")
    if [ ! -f "$here/linegauge.desktop" ]; then
        echo "No linegauge.desktop in $here: install Linegauge with cmake --install first." >&2
        exit 1
    fi
    mkdir -p "$menu"
    cp "$here/linegauge.desktop" "$entry"
    chmod 644 "$entry"
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database "$menu" >/dev/null 2>&1 || true
    fi
    echo "Added $entry"
    ;;
*)
    echo "Usage: add-to-menu.sh [--remove]" >&2
    exit 2
    ;;
esac
