#!/usr/bin/env bash
# Builds Brisknote and opens it under Wine on the files given, or on a demo folder it makes.
# Without an X display it runs on a virtual one and saves a screenshot instead.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"
choose_arches
build_brisknote
echo "Release zip: $BUILD_DIR/Brisknote.zip"
use_arch "${ARCHES%% *}"

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: showing Brisknote on a virtual display instead."
  exec bash "$here/screenshot.sh" run.png "$@"
fi

[ -n "$ARCH_NOTE" ] && echo "$ARCH_NOTE"
prepare_wine_prefix
use_display_driver x11
if [ $# -eq 0 ]; then
  make_demo_folder
  set -- "${DEMO_PATHS[@]}"
fi
args=()
for f in "$@"; do args+=("$(windows_path "$f")"); done
exec "$WINE" "$ARCH_BUILD/Brisknote.exe" "${args[@]}"
