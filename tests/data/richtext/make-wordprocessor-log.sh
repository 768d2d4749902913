#!/usr/bin/env bash
# Makes wordprocessor-log.rtf: a short incident log in plain text, saved as
# rich text by a real word processor (Debian's libreoffice-writer-nogui).
# The result is kept in the repository; the tests only read it.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '%s\n' "Incident Number: 4711 Started." \
  "12/5/2026 14:33:05 - (00:03) Notation By Sgt. Ilse Varga: Caf$(printf '\xe9') on the corner, calm voice." \
  "12/5/2026 17:58:00 - Incident Number: 4711 Ended." >"$work/wordprocessor-log.txt"
HOME="$work" soffice --headless --infilter="Text (encoded):1252,,," --convert-to rtf --outdir "$work" \
  "$work/wordprocessor-log.txt" >/dev/null
cp "$work/wordprocessor-log.rtf" .
