#!/usr/bin/env bash
# Builds Brisknote and its tests and runs every test under Wine: the 32-bit program users get,
# then its 64-bit twin; only the twin where this machine's kernel runs no 32-bit code.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"

choose_arches
[ -n "$ARCH_NOTE" ] && echo "$ARCH_NOTE"
build_brisknote
start_virtual_display
trap 'stop_wineserver; stop_virtual_display' EXIT

failed=
for arch in $ARCHES; do
  use_arch "$arch"
  prepare_wine_prefix
  if [ "$arch" = "${ARCHES%% *}" ]; then
    use_display_driver x11
    start_wineserver
    bash "$here/screenshot.sh" --on-display dialog.png >/dev/null
    bash "$here/screenshot.sh" --on-display list.png /p >/dev/null
    bash "$here/screenshot.sh" --on-display --resize-list 560 290 list-resized.png /p >/dev/null
    bash "$here/screenshot.sh" --on-display --command 1010 menu.png >/dev/null
  fi
  use_display_driver null
  start_wineserver
  echo "Testing the $arch-bit build in $ARCH_BUILD"
  ctest --test-dir "$ARCH_BUILD" --output-on-failure | tee "$ARCH_BUILD/ctest.log" || failed="$failed $arch"
  stop_wineserver
done
# The output ends with a summary line: the failed suite's, when one failed.
for arch in $failed; do
  use_arch "$arch"
  echo "$arch-bit build: $(grep 'tests passed' "$ARCH_BUILD/ctest.log" || echo 'no summary')"
done
[ -z "$failed" ]
