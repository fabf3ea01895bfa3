#!/usr/bin/env bash
# Shows Brisknote on the demo folder (or on the files given) and saves a picture of the display
# to build/screenshots/NAME. With --on-display it uses the display and Wine already running.
# Options for Brisknote (/p, /t) may stand before the files; --command ID first sends the
# dialog that command (1010 opens the file menu); --resize-list W H sizes the list window.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"

own_display=1
if [ "${1:-}" = "--on-display" ]; then
  own_display=0
  shift
fi
command=
if [ "${1:-}" = "--command" ]; then
  command=$2
  shift 2
fi
resize=
if [ "${1:-}" = "--resize-list" ]; then
  resize="$2 $3"
  shift 3
fi
name=${1:-dialog.png}
shift || true
choose_arches
use_arch "${ARCHES%% *}"

if [ "$own_display" = 1 ]; then
  [ -n "$ARCH_NOTE" ] && echo "$ARCH_NOTE"
  start_virtual_display
  trap 'stop_wineserver; stop_virtual_display' EXIT
  prepare_wine_prefix
  use_display_driver x11
fi
args=()
while [ $# -gt 0 ] && [[ "$1" == /? ]]; do
  args+=("$1")
  shift
done
if [ $# -eq 0 ]; then
  make_demo_folder
  set -- "${DEMO_PATHS[@]}"
fi
for f in "$@"; do args+=("$(windows_path "$f")"); done

"$WINE" "$ARCH_BUILD/Brisknote.exe" "${args[@]}" &
program=$!
if wait_for_window Quillmark; then
  sleep 0.5
  if [ -n "$command" ]; then
    "$WINE" "$ARCH_BUILD/poke.exe" Quillmark "$command"
    sleep 0.5
  fi
  if [ -n "$resize" ]; then
    # shellcheck disable=SC2086
    "$WINE" "$ARCH_BUILD/poke.exe" リネームリスト $resize
    sleep 0.5
  fi
  take_screenshot "$name"
  echo "Screenshot saved to $BUILD_DIR/screenshots/$name"
else
  echo "The dialog did not appear; no screenshot taken." >&2
fi
kill "$program" 2>/dev/null || true
"$WINE" taskkill /f /im Brisknote.exe >/dev/null 2>&1 || true
wait "$program" 2>/dev/null || true
