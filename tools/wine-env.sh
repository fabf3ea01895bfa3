# Shared by the run, test and screenshot commands: the builds, a virtual display and a warm Wine.
# Source it; it defines functions and exports the Wine settings.
#
# Brisknote ships as a 32-bit program. Some machines run a kernel that executes no 32-bit code
# at all (Wine's 32-bit loader fails with "Exec format error"); there the same sources are built
# and run as a 64-bit twin, build/x64/Brisknote.exe, under Wine's 64-bit loader.

BRISKNOTE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=$BRISKNOTE_ROOT/build
TWIN_DIR=$BUILD_DIR/x64
export LANG=ja_JP.UTF-8
unset LC_ALL
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

WINE32_LOADER=/usr/lib/wine/wine
WINE64_LOADER=/usr/lib/wine/wine64

# Sets ARCHES to the builds this machine runs, 32-bit first, and ARCH_NOTE to the one line that
# says why the 32-bit one is left out, if it is. BRISKNOTE_ARCH=64 takes the 64-bit path anywhere.
choose_arches() {
  ARCH_NOTE=
  if [ "${BRISKNOTE_ARCH:-}" = 64 ]; then
    ARCHES=64
    ARCH_NOTE="BRISKNOTE_ARCH=64: using the 64-bit build of the same sources; the 32-bit Brisknote.exe is checked as a file"
  elif "$WINE32_LOADER" --version >/dev/null 2>&1; then
    ARCHES="32 64"
  else
    ARCHES=64
    ARCH_NOTE="this machine's kernel runs no 32-bit programs: using the 64-bit build of the same sources; the 32-bit Brisknote.exe is checked as a file"
  fi
}

# Points the Wine settings and ARCH_BUILD at one of the two builds, each with a prefix of its own.
use_arch() {
  if [ "$1" = 32 ]; then
    ARCH_BUILD=$BUILD_DIR
    export WINEPREFIX=$BUILD_DIR/wineprefix WINEARCH=win32
    WINE=$WINE32_LOADER
    unset WINELOADER
  else
    ARCH_BUILD=$TWIN_DIR
    export WINEPREFIX=$BUILD_DIR/wineprefix64 WINEARCH=win64 WINELOADER=$WINE64_LOADER
    WINE=$WINE64_LOADER
  fi
  export WINE
}

# The shipped 32-bit program first: the twin's tests check it as a file, and the twin's build
# packs the release zip with both.
build_brisknote() {
  cmake -S "$BRISKNOTE_ROOT" -B "$BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$BRISKNOTE_ROOT/cmake/mingw-i686.cmake" >/dev/null
  cmake --build "$BUILD_DIR"
  cmake -S "$BRISKNOTE_ROOT" -B "$TWIN_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$BRISKNOTE_ROOT/cmake/mingw-x86_64.cmake" \
        -DBRISKNOTE_SHIPPED_EXE="$BUILD_DIR/Brisknote.exe" >/dev/null
  cmake --build "$TWIN_DIR"
}

# Starts Xvfb on a free display and exports DISPLAY; the display ends with this shell.
start_virtual_display() {
  local fifo=$BUILD_DIR/.displayfd
  mkdir -p "$BUILD_DIR"
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

# The prefix is made once per build folder and architecture. Unmanaged windows spare the 2 s that
# Wine waits on every hidden window without a window manager. The dialogs' fonts are drawn with
# the Japanese font that the set-up installs, as Japanese Windows draws them with its own.
prepare_wine_prefix() {
  if [ ! -f "$WINEPREFIX/.brisknote-ready-5" ]; then
    echo "Preparing the Wine prefix in $WINEPREFIX (once)..."
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1 || true
    "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
    # A program that crashes ends at once, instead of under a debugger that holds CTest's pipes.
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f >/dev/null 2>&1
    for font in 'ＭＳ Ｐゴシック' 'MS Shell Dlg'; do
      "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d IPAPGothic /f >/dev/null 2>&1
    done
    # The caption buttons are Marlett glyphs: Wine does not look for its own font where Debian
    # puts it, and without it draws them as the letters "0 1 r".
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    wineserver -w
    rm -f "$WINEPREFIX/.driver"
    touch "$WINEPREFIX/.brisknote-ready-5"
  fi
}

# x11 draws on $DISPLAY, for screenshots and for people. null draws nowhere: the tests run there,
# since under X Wine resets the modifier keys from X's keymap whenever one of its windows gets the
# focus, which can release a Ctrl or Alt that a test holds down. The desktop process reads the
# setting when it starts, so a change restarts the prefix's wineserver.
use_display_driver() {
  [ "$(cat "$WINEPREFIX/.driver" 2>/dev/null)" = "$1" ] && return 0
  stop_wineserver
  "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d "$1" /f >/dev/null 2>&1
  wineserver -w
  echo "$1" >"$WINEPREFIX/.driver"
}

# A server that outlives each program, and Wine's background services started now: started by
# the first test, they would inherit CTest's output pipe and keep CTest waiting.
start_wineserver() {
  wineserver -p >/dev/null 2>&1 </dev/null
  "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null || true
}

stop_wineserver() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
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
