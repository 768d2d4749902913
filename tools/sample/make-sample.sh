#!/usr/bin/env bash
# Builds the sample incident into OUTDIR: speaks each recording's text with
# espeak-ng, encodes it with lame (64 kbps, so the encoder writes its gapless
# information and durations come out exact) with ID3 tags, then lets the
# generator write every other file and fix all modification times.
#   make-sample.sh GENERATOR OUTDIR
set -euo pipefail
gen=$1
out=$2
tmp="$out.tmp"
work=$(mktemp -d)
trap 'rm -rf "$work" "$tmp"' EXIT
rm -rf "$tmp"
mkdir -p "$tmp"

"$gen" recordings > "$work/recordings"
while IFS='|' read -r name artist album genre title speech; do
  espeak-ng -v en-us -s 150 -w "$work/speech.wav" "$speech"
  lame --quiet -b 64 --add-id3v2 --id3v2-latin1 --ta "$artist" --tl "$album" --tg "$genre" --tt "$title" --ty 2026 \
    "$work/speech.wav" "$tmp/$name"
done < "$work/recordings"

"$gen" build "$tmp"
rm -rf "$out"
mv "$tmp" "$out"
