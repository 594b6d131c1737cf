#!/usr/bin/env bash
# almanary-cli beside remind on the same events: the generator writes a
# million events as an almanary and as a remind file, and each program,
# as a whole process, lists the events of one day. Installs remind when
# missing, builds what it needs in the release tree, and prints the median
# time of each and their ratio. (Peak memory is bench_model's: a process
# started from this script's Python would count the interpreter's in its
# own peak.)
#
#   bench/cli_vs_remind.sh [runs] [events]     (default 5 runs, 1000000 events)
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-5}
events=${2:-1000000}
day=2026-12-07

if ! command -v remind >/dev/null; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing remind"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends remind >/dev/null
fi

cmake --preset release >/dev/null
cmake --build --preset release --target almanary-cli almanary-generate -j "$(nproc)" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/release/bench/almanary-generate "$events" "$work/events.alm" "$work/events.rem"

python3 - "$runs" "$events" "$day" "$work" <<'PY'
import os, statistics, sys, time

runs, events, day, work = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3], sys.argv[4]
programs = [
    ("almanary-cli", ["build/release/src/cli/almanary-cli", "list", f"{work}/events.alm",
                      "--day", day, "--tsv"]),
    ("remind", ["remind", "-q", f"{work}/events.rem", day]),
]

def run(argv):
    """Wall time and lines printed of one process."""
    out = f"{work}/out.txt"
    fd = os.open(out, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o600)
    start = time.perf_counter()
    pid = os.posix_spawnp(argv[0], argv, os.environ, file_actions=[(os.POSIX_SPAWN_DUP2, fd, 1)])
    _, status = os.waitpid(pid, 0)
    elapsed = time.perf_counter() - start
    os.close(fd)
    if status != 0:
        sys.exit(f"{argv[0]} failed")
    with open(out) as f:
        lines = sum(1 for line in f if line.strip())
    return elapsed, lines

results = {}
for name, argv in programs:
    run(argv)  # the files into the page cache
    samples = [run(argv) for _ in range(runs)]
    results[name] = (statistics.median(s[0] for s in samples), samples[0][1])

print(f"One day ({day}) of {events:,} events, median of {runs} runs:")
print(f"{'program':<14}{'seconds':>10}{'lines':>8}")
for name, (seconds, lines) in results.items():
    print(f"{name:<14}{seconds:>10.3f}{lines:>8}")
ratio = results["remind"][0] / results["almanary-cli"][0]
print(f"remind takes {ratio:.1f} times as long as almanary-cli")
PY
