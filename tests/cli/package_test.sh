#!/usr/bin/env bash
# Packs the build's program folder with cpack, unpacks the archive into a folder of its own and
# runs the unpacked batch tool from yet another working directory: the archive must hold a
# complete program folder under one top folder that works wherever it is put.
#
#   package_test.sh CPACK BUILD_FOLDER VERSION
set -euo pipefail

cpack=$1
build=$2
version=$3

if ! command -v "$cpack" >/dev/null 2>&1; then
    echo "package_test: cpack ($cpack) is not installed; skipped"
    exit 0
fi

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "package_test: $*" >&2
    exit 1
}

"$cpack" --config "$build/CPackConfig.cmake" -G TGZ -B "$scratch/package" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; fail "cpack failed"; }
archive="$scratch/package/orvental-$version.tar.gz"
[[ -f $archive ]] || fail "no $archive"

top="orvental-$version"
tar -tzf "$archive" >"$scratch/listing"
if grep -v -e "^$top/" -e "^$top\$" "$scratch/listing"; then
    fail "the entries above lie outside the top folder $top/"
fi
expected=("$top/orvental-cli" "$top/data/Celldata.dat" "$top/data/Skildata.dat"
    "$top/data/Txtbookdata.dat" "$top/dataextra/Extradata.dat" "$top/demo/Demo.esp"
    "$top/README.md" "$top/LICENSE")
if [[ -x $build/program/orvental ]]; then
    expected+=("$top/orvental")
fi
if [[ -d $build/program/help ]]; then
    expected+=("$top/help/")
fi
for entry in "${expected[@]}"; do
    grep -qxF "$entry" "$scratch/listing" || fail "the archive lacks $entry"
done

mkdir "$scratch/unpacked" "$scratch/elsewhere"
tar -xzf "$archive" -C "$scratch/unpacked"
program="$scratch/unpacked/$top"

# The external database is shipped holding only its sentinel pair.
printf '\x04\x00\x00\x00FFFF\x04\x00\x00\x00FFFF' | cmp -s - "$program/dataextra/Extradata.dat" ||
    fail "dataextra/Extradata.dat is not the sentinel pair alone"

# Installed executables must not point into the build folder.
if command -v readelf >/dev/null 2>&1; then
    for executable in "$program/orvental-cli" "$program/orvental"; do
        [[ -f $executable ]] || continue
        if readelf -d "$executable" | grep -E 'R(UN)?PATH'; then
            fail "$executable carries an RPATH"
        fi
    done
fi

cd "$scratch/elsewhere"
listing=$("$program/orvental-cli" list "$program/demo/Demo.esp") ||
    fail "orvental-cli list exited with $?"
grep -qxF $'Cell\tB\tMisty Grove\tMisty Grove\tNebelhain' <<<"$listing" ||
    fail "the demo listing lacks the translated cell Misty Grove:"$'\n'"$listing"

# The unpacked copy reads its own database, not the build's: change a translation there.
"$program/orvental-cli" db export "$program/data/Celldata.dat" |
    sed 's/^Misty Grove\tNebelhain$/Misty Grove\tNebelwald/' >"$scratch/Celldata.tsv"
"$program/orvental-cli" db import "$scratch/Celldata.tsv" -o "$program/data/Celldata.dat"
listing=$("$program/orvental-cli" list "$program/demo/Demo.esp")
grep -qxF $'Cell\tB\tMisty Grove\tMisty Grove\tNebelwald' <<<"$listing" ||
    fail "the unpacked program did not use its own data/Celldata.dat:"$'\n'"$listing"

echo "package_test: $archive unpacks into a working program folder"
