#!/usr/bin/env bash
# Fills each fuzz target's corpus (BUILD/corpus/<target>/) with seeds: the
# test fixtures, the sample skins and files almanary-cli makes. What the
# fuzzer added to a corpus in earlier runs stays.
#
#   scripts/fuzz-seeds.sh [BUILD]    (default build/fuzz)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
cli=$build/src/cli/almanary-cli
corpus=$build/corpus
fixtures=tests/fixtures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for target in almanary skin bitmap share ical; do
  mkdir -p "$corpus/$target"
done

# almanary-cli works in a home of its own, away from the user's settings.
cliRun() {
  HOME=$work XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work "$cli" "$@" >/dev/null
}

# Almanaries: empty, protected, and one with settings, categories and events.
cliRun new "$work/empty.alm"
cliRun new "$work/locked.alm" --password s3cret
cliRun new "$work/full.alm"
cp resources/reminder.wav "$work/chime.wav"
cliRun settings "$work/full.alm" --autosave 5 --sound "$work/chime.wav" --clock 12
for name in Work Über Family; do
  cliRun categories "$work/full.alm" --add "$name"
done
cliRun add "$work/full.alm" --date 2026-12-07 --time 9:00 --duration 60 --category Work \
  --remind 15 --notes "Review the plans"
cliRun add "$work/full.alm" --date 2026-12-07 --time 10:30 --duration 30 --notes "Überblick, été"
cliRun add "$work/full.alm" --date 2027-03-28 --time 2:15 --duration 300 --category Family \
  --notes "A night when the clocks change"
cliRun add "$work/full.alm" --date 2026-12-31 --time 23:45 --duration 15 --remind 180 \
  --notes "$(printf 'Two\nlines')"
cp "$fixtures"/*.alm "$work"/*.alm "$corpus/almanary/"

cp "$fixtures"/*.skn resources/skins/*.skn "$corpus/skin/"
cp "$fixtures"/bitmaps/*.bmp resources/skins/*.bmp "$corpus/bitmap/"

cliRun export "$work/full.alm" "$work/full.ics"
cliRun export "$work/full.alm" "$work/work.ics" --category Work
cp "$fixtures"/ical/*.ics "$work"/*.ics "$corpus/ical/"

# Share requests: a command, the 21-byte name field, then what a client
# sends after the server's answers (the go-ahead for the open almanary, a
# 4-byte little-endian length and the file).
nameField() {
  printf '%s' "$1"
  head -c $((21 - ${#1})) /dev/zero
}
lengthField() {
  local n=$1
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((n & 255)) $((n >> 8 & 255)) \
    $((n >> 16 & 255)) $((n >> 24 & 255)))"
}
request() {
  local file=$1 command=$2 name=$3 goAhead=${4-} content=${5-}
  {
    printf '%s' "$command"
    nameField "$name"
    printf '%s' "$goAhead"
    if [ -n "$content" ]; then
      lengthField "$(stat -c %s "$content")"
      cat "$content"
    fi
  } >"$corpus/share/$file"
}
request load-open L Open
request load-other L other
request load-unknown L Nobody
request load-gone L Gone
request save-other S Other "" "$work/full.alm"
request save-open S Open Y "$work/full.alm"
request save-open-declined S Open N
request save-damaged S Other "" "$fixtures/truncated.alm"
request save-gone S Gone "" "$work/empty.alm"
printf 'Q' >"$corpus/share/stop"

for target in almanary skin bitmap share ical; do
  echo "$target: $(find "$corpus/$target" -type f | wc -l) inputs in $corpus/$target"
done
