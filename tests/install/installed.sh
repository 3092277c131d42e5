#!/usr/bin/env bash
# Installs into a temporary DESTDIR, validates the desktop entry and metadata, and
# runs the installed copy as an ordinary user with an address on its command line.
set -euo pipefail
[ -n "${DISPLAY:-}" ] || { echo "needs the X server of the test command"; exit 1; }
tmp=$(mktemp -d); chmod 755 "$tmp"; pids=()
trap 'kill "${pids[@]}" 2>/dev/null; wait; rm -rf "$tmp"' EXIT
DESTDIR=$tmp/d cmake --install "$1" --prefix /usr >/dev/null
share=$tmp/d/usr/share id=org.orvane.Orvane
desktop-file-validate "$share/applications/$id.desktop"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml"
test -s "$share/icons/hicolor/scalable/apps/$id.svg"
for n in 48 64 128 256; do  # each PNG's width and height
  read -r w h < <(od -An --endian=big -tu4 -j16 -N8 "$share/icons/hicolor/${n}x$n/apps/$id.png")
  [ "$w $h" = "$n $n" ] || { echo "icon ${n}x$n is $w x $h"; exit 1; }
done
mkdir "$tmp/site" "$tmp/home"; title="Installed $$"; echo "<title>$title</title>" >"$tmp/site/index.html"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$tmp/site" >"$tmp/http" 2>&1 & pids+=($!)
as=(); [ "$(id -u)" -ne 0 ] || { as=(setpriv --reuid=nobody --regid=nogroup --clear-groups); chown nobody "$tmp/home"; }
for _ in $(seq 50); do port=$(grep -o 'port [0-9]*' "$tmp/http" | cut -d' ' -f2) && break; sleep 0.2; done
HOME=$tmp/home XDG_CONFIG_HOME=$tmp/home/.config "${as[@]}" "$tmp/d/usr/bin/orvane" \
  "http://127.0.0.1:$port/" >"$tmp/log" 2>&1 & pids+=($!)
# The page's title reaches the frame's caption ("Orvane - [title]").
# A listing races windows that close meanwhile (BadWindow): such a try counts as not yet.
for _ in $(seq 120); do
  xwininfo -root -tree >"$tmp/windows" 2>/dev/null && grep -qF "[$title]" "$tmp/windows" && break
  sleep 0.5
done
grep -qF "[$title]" "$tmp/windows" || { cat "$tmp/log"; exit 1; }
# Settings in the user's folder, not beside the read-only program.
printf '[New Window]\r\nFocus\r\n' | cmp - "$tmp/home/.config/Orvane/Orvane.ini"
test ! -e "$tmp/d/usr/bin/Orvane.ini"
# Root could write beside the program, but an installed copy keeps to the user's folder.
if [ "$(id -u)" -eq 0 ]; then
  HOME=$tmp/r XDG_CONFIG_HOME=$tmp/r QT_QPA_PLATFORM=offscreen timeout 5 "$tmp/d/usr/bin/orvane" >/dev/null 2>&1 || true
  test ! -e "$tmp/d/usr/bin/Orvane.ini"
  test -s "$tmp/r/Orvane/Orvane.ini"
fi
# The sandbox stays on for an ordinary user: an engine process in a namespace of its own.
for p in $(pgrep -u "$(stat -c %U "$tmp/home")" QtWebEngineProc); do
  [ "$(readlink /proc/$p/ns/user)" = "$(readlink /proc/${pids[1]}/ns/user)" ] || exit 0
done
echo "no web-engine process is sandboxed"; exit 1
