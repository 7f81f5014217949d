#!/usr/bin/env bash
# Installs the build into a scratch root and runs what got there: the command-line tool on
# a capture of its own, the window (offscreen) found through its link in bin/ with its
# help file beside it, and the desktop entry through desktop-file-validate.
# usage: InstallTest.sh BUILD_DIR
set -euo pipefail
build=$1
root=$(mktemp -d "${TMPDIR:-/tmp}/varnex_install_$$_XXXXXX")
win=""
cleanup() { [ -n "$win" ] && kill "$win" 2>/dev/null; rm -rf "$root"; }
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$root" >/dev/null

for f in bin/varnex bin/varnex-cli bin/varnex-sim lib/varnex/varnex lib/varnex/Varnexhelp.chm \
         share/applications/varnex.desktop share/icons/hicolor/scalable/apps/varnex.svg \
         lib/systemd/system/varnex-record@.service lib/udev/rules.d/60-varnex.rules; do
  [ -e "$root/$f" ] || fail "not installed: $f"
done

# The installed varnex-cli writes a capture and decodes it again.
"$root/bin/varnex-cli" sample > "$root/capture.bin"
lines=$("$root/bin/varnex-cli" decode "$root/capture.bin" | wc -l)
[ "$lines" -gt 0 ] || fail "the installed varnex-cli decoded nothing"

# Started through bin/varnex, the window looks for its help beside the real executable.
help=$(QT_QPA_PLATFORM=offscreen "$root/bin/varnex" --help | grep '^help file: ') || fail "no help line"
[ "$help" = "help file: $root/lib/varnex/Varnexhelp.chm" ] || fail "help looked for at the wrong place: $help"

# The window itself comes up on the simulated meter and stays up.
QT_QPA_PLATFORM=offscreen "$root/bin/varnex" --simulate >"$root/window.log" 2>&1 &
win=$!
sleep 3
kill -0 "$win" 2>/dev/null || { cat "$root/window.log" >&2; fail "the installed window did not stay up"; }
kill "$win"; wait "$win" 2>/dev/null || true; win=""

# The unit runs the installed varnex-cli; the entry names the installed icon.
grep -q "^ExecStart=$root/bin/varnex-cli record --port /dev/%i" "$root/lib/systemd/system/varnex-record@.service" \
  || fail "the unit does not run the installed varnex-cli"
desktop-file-validate "$root/share/applications/varnex.desktop" || fail "desktop-file-validate"
icon=$(sed -n 's/^Icon=//p' "$root/share/applications/varnex.desktop")
[ -e "$root/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon named $icon"
echo "installed and ran from $root"
