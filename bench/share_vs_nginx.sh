#!/usr/bin/env bash
# The share server beside nginx: 32 clients on loopback loading the same
# 5 MB almanary again and again, one request per connection for the share
# server (its protocol has no other way) and kept-alive HTTP connections
# for nginx, measured by wrk. Installs nginx-light and wrk when missing,
# builds bench_share in the release tree, prints both figures and stops
# everything it started.
#
#   bench/share_vs_nginx.sh [seconds]     (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-10}
clients=32

need=()
command -v nginx >/dev/null || need+=(nginx-light)
command -v wrk >/dev/null || need+=(wrk)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing ${need[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  # nginx-light's post-install starts the distribution's own nginx; this
  # script runs one of its own, so that one is kept from starting (unless
  # the machine already has a policy of its own).
  keep_policy=""
  [ -e /usr/sbin/policy-rc.d ] && keep_policy=yes
  if [ -z "$keep_policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $sudo tee /usr/sbin/policy-rc.d >/dev/null
    $sudo chmod +x /usr/sbin/policy-rc.d
  fi
  $sudo apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null || true
  [ -z "$keep_policy" ] && $sudo rm -f /usr/sbin/policy-rc.d
fi

cmake --preset release >/dev/null
cmake --build --preset release --target bench_share -j "$(nproc)" >/dev/null

work=$(mktemp -d)
nginx_pid=""
cleanup() {
  [ -n "$nginx_pid" ] && kill "$nginx_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== share server: $clients clients, one load per connection"
ALMANARY_BENCH_DIR="$work" build/release/bench/bench_share \
  --benchmark_min_time="$seconds" 2>&1 | grep -E "^(BM_|Benchmark|-)"

if ! command -v nginx >/dev/null || ! command -v wrk >/dev/null; then
  echo "nginx or wrk could not be installed; only the share server was measured."
  exit 0
fi

# nginx's workers may run as another user: the copy it serves is public.
chmod 755 "$work"
chmod 644 "$work/share-bench.alm"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat >"$work/nginx.conf" <<CONF
worker_processes auto;
daemon off;
pid $work/nginx.pid;
error_log $work/error.log;
events { worker_connections 1024; }
http {
  access_log off;
  sendfile on;
  tcp_nopush on;
  client_body_temp_path $work;
  proxy_temp_path $work;
  fastcgi_temp_path $work;
  uwsgi_temp_path $work;
  scgi_temp_path $work;
  server {
    listen 127.0.0.1:$port;
    root $work;
  }
}
CONF
nginx -c "$work/nginx.conf" -p "$work" &
nginx_pid=$!
for _ in $(seq 100); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

echo "== nginx: $clients connections, kept alive"
wrk -t 2 -c "$clients" -d "${seconds}s" "http://127.0.0.1:$port/share-bench.alm" |
  grep -E "Requests/sec|Transfer/sec|requests in"
echo "== nginx: $clients connections, one request per connection"
wrk -t 2 -c "$clients" -d "${seconds}s" -H "Connection: close" \
  "http://127.0.0.1:$port/share-bench.alm" | grep -E "Requests/sec|Transfer/sec|requests in"
