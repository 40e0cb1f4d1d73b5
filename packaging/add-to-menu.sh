#!/bin/sh
# Puts this folder's Linegauge entry into the user's application menu, with its icon in the user's
# icon theme folder so the menu finds it by name (and takes both out again with --remove). The entry
# names the program in this folder, so run it again after moving it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
data=${XDG_DATA_HOME:-$HOME/.local/share}
menu=$data/applications
entry=$menu/linegauge.desktop
icons=$data/icons/hicolor

# Icon caches, where the desktop keeps one, would hide a new or removed icon until rebuilt.
refresh_icon_cache() {
    if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null 2>&1; then
        gtk-update-icon-cache --quiet --force --ignore-theme-index "$icons" >/dev/null 2>&1 || true
    fi
}

case "${1:-}" in
--remove)
    rm -f "$entry"
    rm -f "$icons"/*/apps/linegauge.png "$icons"/*/apps/linegauge.svg
    refresh_icon_cache
    echo "Removed $entry and its icons"
    ;;
"")
    if [ ! -f "$here/linegauge.desktop" ] || [ ! -d "$here/share/icons/hicolor" ]; then
        echo "No linegauge.desktop or icons in $here: install Linegauge with cmake --install first." >&2
        exit 1
    fi
    (cd "$here/share/icons/hicolor" && find . -name 'linegauge.*' -type f) | while read -r icon; do
        mkdir -p "$icons/$(dirname "$icon")"
        cp "$here/share/icons/hicolor/$icon" "$icons/$icon"
        chmod 644 "$icons/$icon"
    done
    refresh_icon_cache
    mkdir -p "$menu"
    cp "$here/linegauge.desktop" "$entry"
    chmod 644 "$entry"
    if command -v update-desktop-database >/dev/null 2>&1; then
        update-desktop-database "$menu" >/dev/null 2>&1 || true
    fi
    echo "Added $entry and its icons"
    ;;
*)
    echo "Usage: add-to-menu.sh [--remove]" >&2
    exit 2
    ;;
esac
