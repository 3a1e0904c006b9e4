#!/usr/bin/env bash
# kestrova-cli.exe --headless search under Wine against the native kestrova-sim on loopback, named
# "localhost" (the name its certificate carries), and the native kestrova against the same
# service: both must store the same records, pages and PDFs.
#   tests/e2e/windows_search.sh WINDOWS_BUILD_DIR NATIVE_BUILD_DIR
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
win=$1
native=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/kestrova-wine-e2e.XXXXXX")
sim=
cleanup() {
  [ -n "$sim" ] && kill "$sim" 2>/dev/null && wait "$sim" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$native/bin/kestrova-sim" --port 0 --ca-out "$work" >"$work/url.txt" 2>"$work/sim.log" &
sim=$!
for _ in $(seq 100); do
  [ -s "$work/url.txt" ] && break
  sleep 0.1
done
url=$(head -n1 "$work/url.txt")
case "$url" in https://127.0.0.1:*) ;; *) echo "windows_search: kestrova-sim did not start" >&2; exit 1 ;; esac
url=${url/127.0.0.1/localhost}

# One home per program; the Windows one names its CA file as a Windows path (drive Z: is /).
winpath() { printf 'Z:%s' "${1//\//\\}"; }
settings() {
  python3 - "$1" "$url" "$2" "$(date -d '-3 days' +%Y/%m/%d)" "$(date -d '-1 day' +%Y/%m/%d)" <<'PY'
import sys
path, url, ca, start, end = sys.argv[1:]
text = '\r\n'.join([
    '[設定]', '開始日付=' + start, '終了日付=' + end, '最終日付=' + start,
    '市町村コード=27128,27111', 'ログインパス=demo-pass', '売買=1', '賃貸=1', 'PDFDL=1',
    'PDF取得=1', '詳細情報取得=1', '同意=1', '[設定2]', '負荷軽減スリープ=0',
    '接続先URL=' + url, 'CA証明書=' + ca, ''])
open(path, 'wb').write(text.encode('cp932'))
PY
}
mkdir -p "$work/linux" "$work/windows"
settings "$work/linux/kestrova.ini" "$work/ca.pem"
settings "$work/windows/kestrova.ini" "$(winpath "$work/ca.pem")"

status=0
"$native/bin/kestrova" --home "$work/linux" --login-id demo --headless search \
  >"$work/linux.out" 2>&1 || status=$?
[ "$status" = 0 ] || { cat "$work/linux.out"; echo "windows_search: Linux run ended $status" >&2; exit 1; }
"$root/scripts/wine-run" "$win/bin/kestrova-cli.exe" --home "$(winpath "$work/windows")" \
  --login-id demo --headless search >"$work/windows.out" 2>&1 || status=$?
[ "$status" = 0 ] || { cat "$work/windows.out"; echo "windows_search: Windows run ended $status" >&2; exit 1; }

records=$(wc -l <"$work/linux/dat/TotalData.txt")
[ "$records" -gt 0 ] || { echo "windows_search: the Linux run stored no record" >&2; exit 1; }
fail=0
for f in dat/TotalData.txt dat/SyousaiInfo.dat csv_total/TotalData_csvdata.csv; do
  if ! cmp -s "$work/linux/$f" "$work/windows/$f"; then
    echo "windows_search: $f differs" >&2
    diff <(iconv -f CP932 -t UTF-8 "$work/linux/$f") <(iconv -f CP932 -t UTF-8 "$work/windows/$f") | head -20 >&2
    fail=1
  fi
done
(cd "$work/linux" && find pdf -type f | sort) >"$work/linux.files"
(cd "$work/windows" && find pdf -type f | sort) >"$work/windows.files"
if ! cmp -s "$work/linux.files" "$work/windows.files"; then
  echo "windows_search: the pages and PDFs under pdf/ differ" >&2
  diff "$work/linux.files" "$work/windows.files" | head -20 >&2
  fail=1
fi
[ "$fail" = 0 ] || exit 1
echo "windows_search: $records records, $(wc -l <"$work/linux.files") pages and PDFs alike on Linux and under Wine"
