#!/usr/bin/env bash
# Builds Brisknote and its tests and runs every test under Wine on a virtual display.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"

build_brisknote
start_virtual_display
trap 'stop_wineserver; stop_virtual_display' EXIT
prepare_wine_prefix
start_wineserver
bash "$here/screenshot.sh" --on-display dialog.png >/dev/null
bash "$here/screenshot.sh" --on-display list.png /p >/dev/null
bash "$here/screenshot.sh" --on-display --command 1010 menu.png >/dev/null
ctest --test-dir "$BUILD_DIR" --output-on-failure
