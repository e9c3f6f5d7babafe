#!/usr/bin/env bash
# The channel list read through the real accessibility bus: an X server (Xvfb), a D-Bus
# session with the AT-SPI bus launcher, the editor started on a clone file with channel 1
# "Harbour" on 7.1 MHz, and atspi_sheet.py reading it with pyatspi while xdotool presses
# keys. Exit 77 (a skip) only when the session or accessibility bus cannot start.
#
# Usage: atspi_sheet.sh EDITOR CLI INITIAL_ICF
set -u

editor=$1 cli=$2 initial=$3
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*"; exit 1; }

# scripts/deps installs these; a missing one is a broken set-up, not a skip.
py=/usr/bin/python3
for tool in Xvfb xdotool dbus-run-session "$py"; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/deps installs it)"
done
[ -x /usr/libexec/at-spi-bus-launcher ] || fail "at-spi-bus-launcher is missing (scripts/deps installs at-spi2-core)"
"$py" -c 'import pyatspi' 2>/dev/null || fail "pyatspi is missing (scripts/deps installs python3-pyatspi)"

work=$(mktemp -d)
xvfb_pid= session_pid=
# Everything the session starts (the session bus, the accessibility bus and its registry,
# the editor) runs in the session's own process group, ended as a whole here, also when
# the test is stopped from outside.
cleanup() {
  if [ -n "$session_pid" ]; then
    kill -TERM -- "-$session_pid" 2>/dev/null
    for _ in $(seq 20); do kill -0 -- "-$session_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL -- "-$session_pid" 2>/dev/null
  fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' TERM INT HUP

# The editor keeps its settings, backups and journal in this run's own folders.
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data \
  XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/run
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

file=$work/harbour.icf
"$cli" set "$initial" -o "$file" 'CT_ChannelList.CL_ChL_FreqR[0]=7.1' \
  'CT_ChannelList.CL_ChL_Mode[0]=USB' 'CT_ChannelList.CL_ChL_Name[0]=Harbour' \
  'CT_ChannelList.CL_ChL_FreqR[1]=8.2' 'CT_ChannelList.CL_ChL_Name[1]=Pier' >/dev/null ||
  fail "could not make the clone file"

exec 5>"$work/display"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || skip "Xvfb did not start: $(tail -1 "$work/xvfb.log")"
export DISPLAY=:$(head -1 "$work/display")
exec 5>&-

export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 \
  NO_AT_BRIDGE=0 ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
unset QT_QPA_PLATFORMTHEME
setsid dbus-run-session -- "$py" "$here/atspi_sheet.py" "$editor" "$file" &
session_pid=$!
wait "$session_pid"
