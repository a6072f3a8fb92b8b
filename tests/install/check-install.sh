#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop finds
# there: the launcher leading to the player, its translations beside it, the
# menu entry's command and icon; and that nothing else of the build came along.
#   check-install.sh BUILD_DIR PLAYER_FOLDER (relative to the prefix)
set -euo pipefail
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT
fail() {
    echo "check-install: $*" >&2
    exit 1
}

cmake --install "$1" --prefix "$prefix" >/dev/null
player="$prefix/$2/zentria-player"
[ -x "$player" ] || fail "no player at $player"
[ "$(realpath "$prefix/bin/zentria-player")" = "$player" ] || fail "bin/zentria-player does not lead to $player"
for translation in media_player-ru.qm qt_ru.qm; do
    [ -s "$prefix/$2/$translation" ] || fail "no $translation beside the player"
done
! ldd "$player" | grep 'not found' || fail "the installed player misses libraries"

entry="$prefix/share/applications/zentria-media-player.desktop"
[ -f "$entry" ] || fail "no desktop entry"
command="$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")"
[ -x "$prefix/bin/$command" ] || fail "the entry's command $command is not in bin/"
icon="$(sed -n 's/^Icon=//p' "$entry")"
compgen -G "$prefix/share/icons/hicolor/*/apps/$icon.png" >/dev/null || fail "no icon $icon"

others="$(find "$prefix" -name '*emulator*' -o -name 'tst_*' -o -name 'zentria-bench*')"
[ -z "$others" ] || fail "installed besides the player: $others"
echo "check-install: the player installs into $2 with its launcher, translations and menu entry"
