#!/usr/bin/env bash
# Builds Brisknote and opens it under Wine on the files given, or on a demo folder it makes.
# Without an X display it runs on a virtual one and saves a screenshot instead.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"
build_brisknote
echo "Release zip: $BUILD_DIR/Brisknote.zip"

if [ -z "${DISPLAY:-}" ]; then
  echo "No X display: showing Brisknote on a virtual display instead."
  exec bash "$here/screenshot.sh" run.png "$@"
fi

prepare_wine_prefix
if [ $# -eq 0 ]; then
  make_demo_folder
  set -- "${DEMO_PATHS[@]}"
fi
args=()
for f in "$@"; do args+=("$(windows_path "$f")"); done
exec wine "$BUILD_DIR/Brisknote.exe" "${args[@]}"
