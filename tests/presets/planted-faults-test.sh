#!/usr/bin/env bash
# kestrum-preset-features --check catches every kind of fault it is there for: a copy of the
# factory library with one bad preset per rule must fail, naming each of them.
set -euo pipefail
tool="$1"
library="$(mktemp -d)"
trap 'rm -rf "$library"' EXIT
cp -r "$2/Factory" "$library/"

# Sets one value of a preset file in the copy.
plant() {
  local file="$library/Factory/$1.kestrumpreset"
  sed -i "s|<$2>[^<]*</$2>|<$2>$3</$2>|" "$file"
}
plant "EDM - Electro A" StereoExpandOffOn 0.3        # both channels late
plant "ACST - Bongo A" StereoExpandOffOn 0.05        # on time, but the body cancels in mono
cp "$library/Factory/VNTG - KM SDS D.kestrumpreset" "$library/Factory/VNTG - KM SDS B.kestrumpreset"
plant "VNTG - KM 808 A" TonalPitchAmt 0.1            # a zap, not a shell
plant "VNTG - KM SDS A" TonalPitchAmt 0.9            # no bend
plant "ACST - Snare A" TonalPitchAmt 0.2             # falls like an electronic tom
plant "EDM - Electro F" MainVolume 0.2               # 6 dB too quiet
printf '%s' "<MainVolume>1</MainVolume><NoiseAmpLevel>1</NoiseAmpLevel><NoiseEnvDecay>1</NoiseEnvDecay><NoiseFilterTone>0.5</NoiseFilterTone><TonalEnvDecay>1</TonalEnvDecay><TonalPitchAmt>1</TonalPitchAmt>" \
  > "$library/Factory/EDM - Noisy C.kestrumpreset"    # full noise on a full, steady tone: too hot

if output="$("$tool" --library "$library" --check)"; then
  echo "the check passed a library with planted faults"
  exit 1
fi
missing=0
for expected in \
  "EDM - Electro A: starts late" \
  "ACST - Bongo A: loses" \
  "VNTG - KM SDS B and VNTG - KM SDS D are only" \
  "VNTG - KM 808 A: pitch" \
  "VNTG - KM SDS A: pitch" \
  "ACST - Snare A: pitch" \
  "EDM - Electro F: loudness" \
  "EDM - Noisy C: peak"; do
  grep -qF "FAILED: $expected" <<<"$output" || { echo "not caught: $expected"; missing=1; }
done
[ "$missing" -eq 0 ] || exit 1
echo "planted faults: all caught"
