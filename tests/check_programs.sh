#!/usr/bin/env bash
# Checks built programs as files, without running them, with the toolchain's own readers: the
# kind of PE file, the GUI subsystem, the DLLs imported (those that ship with every Windows),
# Japanese texts that come out of the resources and the code readable, and the manifest's code
# page, scaling and execution level.
#   check_programs.sh OBJDUMP WINDRES FORMAT FOLDER [FORMAT FOLDER ...]
# checks FOLDER/Brisknote.exe; FORMAT is objdump's name for the file format: pei-i386 (PE32) or
# pei-x86-64 (PE32+).
set -u
# Untranslated tool output: binutils speaks Japanese under the tests' locale.
export LC_ALL=C
objdump=$1 windres=$2
shift 2
failed=0
fail() { echo "$program: $*"; failed=1; }
while [ $# -ge 2 ]; do
  format=$1 program=$2/Brisknote.exe
  shift 2
  headers=$("$objdump" -p "$program") || { fail "unreadable"; continue; }
  grep -q "file format $format\$" <<<"$headers" || fail "not $format"
  grep -q "Subsystem.*(Windows GUI)" <<<"$headers" || fail "not a GUI program"
  dlls=$(grep "DLL Name:" <<<"$headers" | awk '{print $3}' | sort -f | tr '\n' ' ')
  [ "$dlls" = "GDI32.dll KERNEL32.dll msvcrt.dll USER32.dll " ] || fail "imports $dlls"
  # windres writes the resources' UTF-16 texts as \xNNNN escapes.
  resources=$("$windres" -i "$program" -O rc | perl -CS -pe 's/\\x([0-9a-f]{4})/chr(hex($1))/ge')
  for text in '129 DIALOGEX' '中止(&S)' '現在の名前' 'ＭＳ Ｐゴシック' '132 DIALOGEX' '閉じる(&X)' \
              '107 14 /* RT_GROUP_ICON */' 'Brisknote アプリケーション' '1 24 /* RT_MANIFEST */' \
              '<activeCodePage xmlns=""http://schemas.microsoft.com/SMI/2019/WindowsSettings"">ja-JP</activeCodePage>' \
              '<gdiScaling xmlns=""http://schemas.microsoft.com/SMI/2017/WindowsSettings"">true</gdiScaling>' \
              '<trustInfo xmlns=""urn:schemas-microsoft-com:asm.v3"">' '<requestedExecutionLevel level=""asInvoker"" uiAccess=""false""/>'; do
    grep -qF "$text" <<<"$resources" || fail "no $text in its resources"
  done
  grep -qaF "$(printf 'エラーがあります。' | iconv -f UTF-8 -t CP932)" "$program" || fail "its texts are not code page 932"
done
[ "$failed" = 0 ] && echo "checked as files"
exit "$failed"
