#!/usr/bin/env bash
# The local search window with big lists on both platforms in one run: the Qt window on the
# offscreen platform (build/bench/search_window_list, 200,000 current rows) as the Linux
# baseline, then the Win32 window under Wine on an Xvfb display of its own
# (build-win/bin/win32_search_window_list.exe, 100,000 current + 100,000 past rows).
#   bench/run_search_window_baselines.sh [LINUX_BUILD] [WINDOWS_BUILD]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
linux=${1:-$root/build}
windows=${2:-$root/build-win}
echo "== Linux (Qt, offscreen)"
"$linux/bench/search_window_list"
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-searchlist.XXXXXX")
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
server=$(dirname "$(command -v wine64 || echo /usr/lib/wine/wine64)")/wineserver
export KESTROVA_WINE_GUI_PREFIX=$work/prefix
trap "WINEPREFIX='$work/prefix' '$server' -k 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf '$work'" EXIT
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
export KESTROVA_WINE_DISPLAY=:$(head -n1 "$work/display")
"$root/scripts/wine-window-run" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed \
  /t REG_SZ /d N /f >/dev/null 2>&1
echo "== Windows (Win32, Wine on Xvfb)"
"$root/scripts/wine-window-run" "$windows/bin/win32_search_window_list.exe"
