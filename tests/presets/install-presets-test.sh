#!/usr/bin/env bash
# scripts/install-presets updates factory files and never overwrites an existing user slot.
set -euo pipefail
script="$1"
library="$(mktemp -d)"
trap 'rm -rf "$library"' EXIT

"$script" "$library" >/dev/null
[ "$(ls "$library/Factory" | wc -l)" -eq 54 ]
[ "$(ls "$library/User" | wc -l)" -eq 100 ]

slot="$library/User/USR - Kestrum User Preset 007.kestrumpreset"
factory="$library/Factory/EDM - Electro A.kestrumpreset"
printf '%s' "<MainVolume>0.123</MainVolume>" > "$slot"
printf '%s' "stale" > "$factory"
"$script" "$library" >/dev/null
[ "$(cat "$slot")" = "<MainVolume>0.123</MainVolume>" ] || { echo "a user slot was overwritten"; exit 1; }
grep -q "<Product>Kestrum</Product>" "$factory" || { echo "a factory preset was not updated"; exit 1; }
echo "install-presets: factory updated, user slot kept"
