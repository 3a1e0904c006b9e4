#!/usr/bin/env bash
# Starts (start) or stops (stop) the native kestrova-sim for the Windows tests of a cross build,
# which reach it as localhost: DIR gets url.txt, ca.pem, the request log requests.log, and
# other-ca.pem, a CA that signed none of the sim's certificates.
#   tests/service/host_sim.sh start SIM DIR | stop DIR
set -euo pipefail
case "$1" in
  start)
    sim=$2 dir=$3
    rm -rf "$dir" && mkdir -p "$dir"
    # setsid: the sim outlives this script, until the stop step.
    setsid "$sim" --port 0 --ca-out "$dir" --log-requests >"$dir/url.txt" 2>"$dir/requests.log" &
    echo $! >"$dir/pid"
    for _ in $(seq 100); do
      [ -s "$dir/url.txt" ] && break
      sleep 0.1
    done
    [ -s "$dir/url.txt" ] || { echo "host_sim: kestrova-sim did not start" >&2; exit 1; }
    openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj /CN=other -keyout "$dir/other.key" \
      -out "$dir/other-ca.pem" 2>/dev/null
    ;;
  stop)
    dir=$2
    [ -f "$dir/pid" ] && kill "$(cat "$dir/pid")" 2>/dev/null || true
    ;;
esac
