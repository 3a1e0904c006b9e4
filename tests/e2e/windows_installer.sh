#!/usr/bin/env bash
# The Windows installer under Wine, in a fresh prefix of its own on a display of its own:
# a silent install, the window started from the installed path making the per-user data
# folder, a console search against the native kestrova-sim, an upgrade over it that keeps the
# user's edited Setting file, and a silent uninstall that removes the programs and keeps the data.
#   tests/e2e/windows_installer.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
win=$1
native=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-wine-setup.XXXXXX")
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
server=$(dirname "$wine")/wineserver
export WINEPREFIX=$work/prefix WINEDEBUG=-all LC_ALL=ja_JP.UTF-8
sim=
xvfb=
cleanup() {
  "$server" -k 2>/dev/null || true
  [ -n "$sim" ] && "$root/tests/service/host_sim.sh" stop "$work/sim"
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "windows_installer: $*" >&2
  exit 1
}
step() { echo "windows_installer: $*"; }
# A Windows command's output without its CR.
run() { "$wine" "$@" 2>/dev/null | tr -d '\r'; }

setup=$(KESTROVA_PACKAGE_DIR="$win" KESTROVA_PACKAGE_BUILT=1 "$root/scripts/package-windows" | sed -n 1p)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$win/CMakeCache.txt")
[ -f "$setup" ] || fail "no setup program was built"
step "built $(basename "$setup") ($(($(stat -c %s "$setup") / 1024)) KB)"

# The wineserver keeps the display it started with, so the display comes first.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
export DISPLAY=:$(head -n1 "$work/display")
"$wine" wineboot -i >/dev/null 2>&1 || true
"$server" -w

"$wine" "$setup" /S
"$server" -w
local_win=$(run cmd /c echo %LOCALAPPDATA%)
appdata_win=$(run cmd /c echo %APPDATA%)
inst_win="$local_win\\Programs\\Kestrova"
inst=$(run winepath -u "$inst_win")
inst=${inst%/}
data=$(run winepath -u "$local_win\\Kestrova")
data=${data%/}
menu=$(run winepath -u "$appdata_win\\Microsoft\\Windows\\Start Menu\\Programs\\Kestrova.lnk")
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrova'
for f in bin/kestrova.exe bin/kestrova-cli.exe bin/kestrova.dll uninstall.exe \
  share/kestrova/Setting/UserFindKeyList1.txt share/kestrova/利用規約.txt; do
  [ -f "$inst/$f" ] || fail "the install lacks $f"
done
[ -f "$menu" ] || fail "no Start menu entry"
[ -d "$inst/Setting" ] && fail "Setting\\ beside the programs would make the install portable"
entry=$(run reg query "$key")
for want in "DisplayVersion    REG_SZ    $version" "Publisher    REG_SZ    The Kestrova developers" \
  "UninstallString    REG_SZ    \"$inst_win\\uninstall.exe\""; do
  grep -qF "$want" <<<"$entry" || fail "the Apps & features entry lacks '$want': $entry"
done
step "silent install into $inst_win: programs, Start menu entry, Apps & features entry $version"

# The window, as the Start menu starts it; WM_CLOSE (taskkill without /f) runs its close.
[ -e "$data" ] && fail "the data folder exists before the first start"
KESTROVA_LOGIN_ID=demo "$wine" "$inst_win\\bin\\kestrova.exe" >"$work/window.out" 2>&1 &
window=$!
# WM_CLOSE sent before the window is up is lost, so it is sent again until the program ends.
for _ in $(seq 60); do
  [ -f "$data/kestrova.lock" ] && "$wine" taskkill /im kestrova.exe >/dev/null 2>&1
  sleep 1
  kill -0 "$window" 2>/dev/null || break
done
kill -0 "$window" 2>/dev/null && fail "the window did not open and close"
status=0
wait "$window" || status=$?
[ "$status" = 0 ] || fail "the window ended $status: $(cat "$work/window.out")"
cmp -s "$data/Setting/UserFindKeyList1.txt" "$inst/share/kestrova/Setting/UserFindKeyList1.txt" ||
  fail "the data folder did not receive the shipped Setting files"
[ -f "$data/利用規約.txt" ] && [ -f "$data/kestrova.ini" ] ||
  fail "the data folder lacks the terms or the settings the close writes"
step "the window started from the installed path, made $local_win\\Kestrova and closed with 0"

# A console search into that folder against the native kestrova-sim.
"$root/tests/service/host_sim.sh" start "$native/bin/kestrova-sim" "$work/sim"
sim=1
url=$(head -n1 "$work/sim/url.txt")
case "$url" in https://127.0.0.1:*) ;; *) fail "kestrova-sim did not start" ;; esac
url=${url/127.0.0.1/localhost}
python3 - "$data/kestrova.ini" "$url" "Z:${work//\//\\}\\sim\\ca.pem" \
  "$(date -d '-2 days' +%Y/%m/%d)" "$(date -d '-1 day' +%Y/%m/%d)" <<'PY'
import sys
path, url, ca, start, end = sys.argv[1:]
text = '\r\n'.join([
    '[設定]', '開始日付=' + start, '終了日付=' + end, '最終日付=' + start,
    '市町村コード=27128', 'ログインパス=demo-pass', '売買=1', '賃貸=1', 'PDFDL=0',
    'PDF取得=0', '詳細情報取得=0', '同意=1', '[設定2]', '負荷軽減スリープ=0',
    '接続先URL=' + url, 'CA証明書=' + ca, ''])
open(path, 'wb').write(text.encode('cp932'))
PY
status=0
"$wine" "$inst_win\\bin\\kestrova-cli.exe" --login-id demo --headless search \
  >"$work/search.out" 2>&1 || status=$?
[ "$status" = 0 ] || fail "the console search ended $status: $(cat "$work/search.out")"
records=$(wc -l <"$data/dat/TotalData.txt")
[ "$records" -gt 0 ] || fail "the console search stored no record"
step "kestrova-cli.exe --headless search stored $records records"

# The user edits a key list and loses a shipped file; an older version left a file behind.
edited=$(printf '北区|中央区' | iconv -f UTF-8 -t CP932)
printf '%s\r\n' "$edited" >>"$data/Setting/UserFindKeyList1.txt"
cp "$data/Setting/UserFindKeyList1.txt" "$work/edited.txt"
cp "$data/dat/TotalData.txt" "$work/TotalData.txt"
rm "$data/Setting/zip_code.txt"
touch "$inst/share/kestrova/Setting/stale.txt"
"$wine" "$setup" /S
"$server" -w
[ -e "$inst/share/kestrova/Setting/stale.txt" ] && fail "the upgrade kept a file it no longer ships"
status=0
"$wine" "$inst_win\\bin\\kestrova-cli.exe" --headless find --list1 '北区|中央区' \
  >"$work/find.out" 2>"$work/find.err" || status=$?
[ "$status" = 0 ] || fail "find with the edited key list entry ended $status: $(cat "$work/find.err")"
cmp -s "$data/Setting/UserFindKeyList1.txt" "$work/edited.txt" || fail "the upgrade lost the edit"
cmp -s "$data/Setting/zip_code.txt" "$inst/share/kestrova/Setting/zip_code.txt" ||
  fail "the start after the upgrade did not add the missing shipped file"
cmp -s "$data/dat/TotalData.txt" "$work/TotalData.txt" || fail "the upgrade changed the store"
step "upgrade: edited key list kept and used ($(tr -d '\r' <"$work/find.err" | tail -n1)), missing file added, store unchanged"

# The user keeps a file of their own in the program folder; the uninstaller leaves it.
echo mine >"$inst/notes.txt"
"$wine" "$inst_win\\uninstall.exe" /S
"$server" -w
[ -d "$inst" ] || fail "the uninstall removed the whole program folder, the user's file too"
left=$(cd "$inst" && find . -mindepth 1 | sort | tr '\n' ' ')
[ "$left" = "./notes.txt " ] || fail "the uninstall left or took: $left"
[ -e "$menu" ] && fail "the Start menu entry is still there"
entry=$(run reg query "$key" || true)  # an error when the key is gone
grep -q DisplayName <<<"$entry" && fail "the Apps & features entry is still there"
cmp -s "$data/Setting/UserFindKeyList1.txt" "$work/edited.txt" &&
  cmp -s "$data/dat/TotalData.txt" "$work/TotalData.txt" && [ -f "$data/kestrova.ini" ] ||
  fail "the uninstall touched the data folder"
step "silent uninstall removed the programs, the entries and nothing else; the data stays"
