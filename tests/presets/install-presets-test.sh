#!/usr/bin/env bash
# scripts/install-presets never loses a user's file: a factory file the user saved over stays
# through an update, a reinstall and an uninstall, with the new factory version beside it; an
# untouched factory file of an earlier release is updated; a damaged or missing manifest in
# the library makes nothing count as ours; an unwritable library is refused in one line.
set -uo pipefail
script="$1"
scripts="$(dirname "$script")"
presets="$(cd "$scripts/../presets" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
failures=0
check() {
  local what="$1"; shift
  if "$@"; then echo "ok   - $what"; else echo "FAIL - $what"; failures=$((failures + 1)); fi
}
run() { "$script" "$@" >"$scratch/out" 2>"$scratch/err"; }
count() { find "$1" -name '*.kestrumpreset' | wc -l; }
is() { [ "$1" = "$2" ]; }

library="$scratch/library"
check "first install" run "$library"
check "... 54 factory presets and 100 user slots" is "$(count "$library/Factory") $(count "$library/User")" "54 100"
check "... the manifest beside them" test -s "$library/kestrum-presets.manifest"
check "... the user slots are shared and sticky" is "$(stat -c %a "$library/User")" 1777

# A release with new factory contents, made from this one, whose manifest knows an earlier
# version of one file that no library file went through this checkout's install with.
release="$scratch/release"
cp -R "$presets" "$release"
for file in "$release"/Factory/*.kestrumpreset; do printf '<NoiseAmpLevel>0.5</NoiseAmpLevel>' >>"$file"; done
older="$library/Factory/ACST - Bongo B.kestrumpreset"
printf '<MainVolume>0.7</MainVolume>' >"$older"
{ grep -v '^#' "$scripts/released-presets.txt"
  echo "0.9.0 $(sha256sum <"$older" | cut -d' ' -f1) Factory/ACST - Bongo B.kestrumpreset"; } >"$scratch/released.txt"
"$scripts/preset-manifest" --presets "$release" --version 9.9.9 --released "$scratch/released.txt" \
  >"$release/kestrum-presets.manifest"

saved="$library/Factory/EDM - Electro A.kestrumpreset"
printf '<MainVolume>0.25</MainVolume>' >"$saved"
cp "$saved" "$scratch/saved"
slot="$library/User/USR - Kestrum User Preset 007.kestrumpreset"
printf '<MainVolume>0.123</MainVolume>' >"$slot"
beside="$library/Factory/EDM - Electro A (factory 9.9.9).kestrumpreset"

check "update to the new release" run --from "$release" "$library"
check "... keeps the file saved over a factory preset" cmp -s "$scratch/saved" "$saved"
check "... puts the new factory version beside it" cmp -s "$release/Factory/EDM - Electro A.kestrumpreset" "$beside"
check "... and says so" grep -q "kept your .*EDM - Electro A" "$scratch/out"
check "... updates an untouched factory file" cmp -s "$release/Factory/EDM - Electro B.kestrumpreset" \
  "$library/Factory/EDM - Electro B.kestrumpreset"
check "... updates a file as an earlier release shipped it" cmp -s "$release/Factory/ACST - Bongo B.kestrumpreset" "$older"
check "... keeps the edited user slot" is "$(cat "$slot")" "<MainVolume>0.123</MainVolume>"
check "reinstall of the same release" run --from "$release" "$library"
check "... still keeps the saved file, with one factory copy" \
  is "$(cmp -s "$scratch/saved" "$saved" && ls "$library/Factory" | grep -c '(factory ')" 1

# Damaged and missing manifests: a file this library's manifest alone vouched for is no
# longer taken for ours, so it stays.
second="$scratch/second"
run "$second"
vouched="$second/Factory/VNTG - KM 808 A.kestrumpreset"
printf 'mine' >"$vouched"
printf '[Factory/VNTG - KM 808 A.kestrumpreset]\n%s=1.0.2\n' "$(sha256sum <"$vouched" | cut -d' ' -f1)" \
  >"$second/kestrum-presets.manifest"
check "a manifest in the library vouches for a file" run --from "$release" "$second"
check "... which is then updated" cmp -s "$release/Factory/VNTG - KM 808 A.kestrumpreset" "$vouched"
for damage in garbage missing; do
  printf 'mine' >"$vouched"
  if [ "$damage" = missing ]; then rm -f "$second/kestrum-presets.manifest"
  else head -c 300 /dev/urandom >"$second/kestrum-presets.manifest"; fi
  check "install over a $damage manifest succeeds" run --from "$release" "$second"
  check "... overwrites nothing it cannot prove ours" is "$(cat "$vouched")" mine
  check "... and leaves a sound manifest" cmp -s "$release/kestrum-presets.manifest" "$second/kestrum-presets.manifest"
done

check "uninstall" run --from "$release" --uninstall "$library"
left="$(cd "$library" && find . -type f | sort)"
check "... leaves only the saved file and the edited slot" is "$left" \
  "$(printf '%s\n' "./Factory/EDM - Electro A.kestrumpreset" "./User/USR - Kestrum User Preset 007.kestrumpreset")"

touch "$scratch/file"
run "$scratch/file/Presets"
check "an unwritable library is refused" test $? -ne 0
check "... in one line naming it" is "$(wc -l <"$scratch/err") $(grep -c "$scratch/file/Presets" "$scratch/err")" "1 1"
check "... leaving no folder behind" test ! -e "$scratch/file/Presets"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
