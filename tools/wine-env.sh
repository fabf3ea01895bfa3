# Shared by the run, test and screenshot commands: the build, a virtual display and a warm Wine.
# Source it; it defines functions and exports the Wine settings.

BRISKNOTE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=$BRISKNOTE_ROOT/build
export WINEPREFIX=$BUILD_DIR/wineprefix
export LANG=ja_JP.UTF-8
unset LC_ALL
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win32

build_brisknote() {
  cmake -S "$BRISKNOTE_ROOT" -B "$BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$BRISKNOTE_ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$BUILD_DIR"
}

# Starts Xvfb on a free display and exports DISPLAY; the display ends with this shell.
start_virtual_display() {
  local fifo=$BUILD_DIR/.displayfd
  rm -f "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 50); do
    [ -s "$fifo" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fifo")"
  rm -f "$fifo"
}

stop_virtual_display() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null
  XVFB_PID=
}

# The prefix is made once per build folder. Unmanaged windows spare the 2 s that Wine waits on
# every hidden window without a window manager. The dialogs' fonts are drawn with the Japanese
# font that the set-up installs, as Japanese Windows draws them with its own.
prepare_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.brisknote-ready-2" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX (once)..."
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    for font in 'ＭＳ Ｐゴシック' 'MS Shell Dlg'; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d IPAPGothic /f >/dev/null 2>&1
    done
    wineserver -w
    touch "$WINEPREFIX/.brisknote-ready-2"
  fi
}

start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null
}

stop_wineserver() {
  wineserver -k 2>/dev/null || true
}

# Saves a picture of the whole virtual display.
take_screenshot() {
  mkdir -p "$BUILD_DIR/screenshots"
  import -window root "$BUILD_DIR/screenshots/$1" 2>/dev/null
}

# A few sample files to rename: a blank in a name, Japanese names (表 has 0x5C as its second
# byte in code page 932) and a folder. Missing ones are made again; renamed ones are left alone.
make_demo_folder() {
  local demo=$BUILD_DIR/demo
  mkdir -p "$demo/資料"
  [ -e "$demo/read me.txt" ] || echo "Brisknote demo file" >"$demo/read me.txt"
  [ -e "$demo/報告書.txt" ] || echo "報告書の中身" >"$demo/報告書.txt"
  [ -e "$demo/写真 表紙.jpg" ] || printf 'not really a picture\n' >"$demo/写真 表紙.jpg"
  [ -e "$demo/notes.md" ] || echo "# notes" >"$demo/notes.md"
  DEMO_PATHS=("$demo/read me.txt" "$demo/報告書.txt" "$demo/写真 表紙.jpg" "$demo/notes.md" "$demo/資料")
}

# Wine's drive Z: is the Unix root.
windows_path() {
  local p
  p=$(realpath -m "$1")
  printf 'Z:%s' "${p//\//\\}"
}

# Waits until a window whose title contains $1 is on the display.
wait_for_window() {
  for _ in $(seq 100); do
    xwininfo -root -tree 2>/dev/null | grep -q "$1" && return 0
    sleep 0.1
  done
  return 1
}
