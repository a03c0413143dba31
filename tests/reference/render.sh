#!/usr/bin/env bash
# Renders the reference scenes with our GDI and with Wine's: render.sh <ours> <windows-exe> <dir>
# writes <dir>/ours.bin and <dir>/wine.bin. Wine's prefix is made once, in <dir>/wineprefix.
# A renderer that dies leaves a file without its end mark, which the comparison reports scene by
# scene; this script fails only when a file could not be made at all.
set -uo pipefail
ours=$1 exe=$2 out=$3
mkdir -p "$out"
rm -f "$out/ours.bin" "$out/wine.bin"
status=0

"$ours" "$out/ours.bin" || echo "render: our renderer ended with status $?"
[ -s "$out/ours.bin" ] || { echo "render: our renderer wrote nothing"; status=1; }

if [ -z "$exe" ] || [ ! -f "$exe" ]; then
  echo "render: no Windows renderer (install mingw-w64: scripts/setup.sh)"
  exit 1
fi
command -v wine >/dev/null || { echo "render: wine is not installed (scripts/setup.sh)"; exit 1; }
export WINEPREFIX="$out/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Drawing on DIB sections needs no display; never touch whatever display the caller has.
unset DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >"$out/wineboot.log" 2>&1 </dev/null || { echo "render: wineboot failed:"; cat "$out/wineboot.log"; exit 1; }
fi
# The library's standard faces stand for the Liberation families, as in the other scripts'
# prefixes (and as our GDI maps them).
if [ ! -f "$WINEPREFIX/fonts.done" ]; then
  for pair in "Arial=Liberation Sans" "Times New Roman=Liberation Serif" "Courier New=Liberation Mono" \
    "MS Sans Serif=Liberation Sans"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${pair%%=*}" /t REG_SZ /d "${pair#*=}" /f \
      >>"$out/wineboot.log" 2>&1 </dev/null || { echo "render: the font mapping failed:"; cat "$out/wineboot.log"; exit 1; }
  done
  touch "$WINEPREFIX/fonts.done"
fi
(cd "$out" && wine "$exe" wine.bin >"$out/wine.log" 2>&1 </dev/null) ||
  { echo "render: Wine's renderer ended with status $?"; cat "$out/wine.log"; }
[ -s "$out/wine.bin" ] || { echo "render: Wine's renderer wrote nothing"; status=1; }
exit $status
