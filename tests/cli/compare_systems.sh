#!/usr/bin/env bash
# Runs the Linux and the Windows batch tool (the latter under Wine) on the same inputs and
# compares what they print and write byte for byte: the demo plugin, the large generated
# plugin with its name edits, and a plugin whose path has spaces and umlauts. Then packs the
# Windows program folder as the zip users download, unpacks it elsewhere and checks that its
# `orvental-cli.exe list demo\Demo.esp` prints what the Linux program prints, and that the
# executable needs no DLL beyond the system's own.
#
#   compare_systems.sh WINE_RUN WINDOWS_BUILD LINUX_PROGRAM_DIR LINUX_MAKE_LARGE CPACK VERSION
set -euo pipefail

wine_run=$1
windows_build=$2
linux_program=$3
make_large=$4
cpack=$5
version=$6

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() {
    echo "compare_systems: $*" >&2
    exit 1
}

# A Linux path as Windows programs under Wine name it: drive Z: is the root folder.
windows_path() {
    local path=${1//\//\\}
    echo "Z:$path"
}

# Each system gets its own copy of every program folder, so that --update-external on one
# cannot change what the other reads.
linux_cli() { "$linux_program/orvental-cli" "$@"; }
windows_cli() { "$wine_run" "$windows_build/program/orvental-cli.exe" "$@"; }

# compare NAME PROGRAM_FOLDER COMMAND... : runs COMMAND (with {P} for the program folder,
# {OUT} for an output file) with both tools on copies of PROGRAM_FOLDER and compares stdout,
# stderr, the exit status, the output file and the external database.
compare() {
    local name=$1 folder=$2
    shift 2
    local system
    for system in linux windows; do
        local work="$scratch/$name/$system"
        mkdir -p "$work"
        cp -r "$folder" "$work/program"
        local program="$work/program" out="$work/out.esp" arguments=() argument
        if [[ $system == windows ]]; then
            program=$(windows_path "$program")
            out=$(windows_path "$out")
        fi
        for argument in "$@"; do
            argument=${argument//\{P\}/$program}
            argument=${argument//\{OUT\}/$out}
            if [[ $system == windows ]]; then
                argument=${argument//\//\\}
            fi
            arguments+=("$argument")
        done
        local status=0
        "${system}_cli" --program-dir "$program" "${arguments[@]}" \
            >"$work/stdout" 2>"$work/stderr" || status=$?
        echo "$status" >"$work/status"
    done
    local file
    for file in stdout stderr status out.esp program/dataextra/Extradata.dat; do
        local linux_file="$scratch/$name/linux/$file" windows_file="$scratch/$name/windows/$file"
        if [[ -e $linux_file || -e $windows_file ]]; then
            cmp "$linux_file" "$windows_file" ||
                fail "$name: $file differs between Linux and Windows"
        fi
    done
    [[ -s "$scratch/$name/linux/stdout" || -s "$scratch/$name/linux/out.esp" ||
        -s "$scratch/$name/linux/stderr" ]] || fail "$name: the command produced nothing to compare"
    echo "compare_systems: $name: same bytes on both systems"
}

# The demo plugin, listed and translated with an edit and the external database.
compare demo-list "$linux_program" list "{P}/demo/Demo.esp"
demo_row=$(linux_cli list "$linux_program/demo/Demo.esp" | awk -F '\t' '$2 == "" { print; exit }')
[[ -n $demo_row ]] || fail "the demo plugin has no row to edit"
IFS=$'\t' read -r demo_list _ demo_id _ <<<"$demo_row"
demo="$scratch/demo"
cp -r "$linux_program" "$demo"
printf '%s\t%s\tGeänderter Name\n' "$demo_list" "$demo_id" >"$demo/demo-edits.tsv"
compare demo-translate "$demo" translate "{P}/demo/Demo.esp" -o "{OUT}" \
    --edits "{P}/demo-edits.tsv" --update-external
# Bad input: the same German refusal and exit status on both systems.
printf 'HEDR' >"$demo/demo/Kurz.esp"
compare refused-plugin "$demo" list "{P}/demo/Kurz.esp"
compare refused-usage "$demo" translate "{P}/demo/Demo.esp"

# The large generated set: its own program folder, plugin and edits.
"$make_large" "$scratch/large"
compare large-list "$scratch/large" list "{P}/Large.esp"
compare large-translate "$scratch/large" translate "{P}/Large.esp" -o "{OUT}" \
    --edits "{P}/edits.tsv" --update-external

# A plugin in a folder with spaces and umlauts, under a name with umlauts.
odd="$scratch/odd"
cp -r "$linux_program" "$odd"
mkdir -p "$odd/Ordner mit Ä"
cp "$linux_program/demo/Demo.esp" "$odd/Ordner mit Ä/Übersetzung Ä.esp"
compare umlaut-list "$odd" list "{P}/Ordner mit Ä/Übersetzung Ä.esp"
compare umlaut-translate "$odd" translate "{P}/Ordner mit Ä/Übersetzung Ä.esp" \
    -o "{P}/Ordner mit Ä/Übersetzt Ö.esp"
for system in linux windows; do
    [[ -s "$scratch/umlaut-translate/$system/program/Ordner mit Ä/Übersetzt Ö.esp" ]] ||
        fail "umlaut-translate: $system wrote no „Übersetzt Ö.esp“"
done
cmp "$scratch/umlaut-translate/linux/program/Ordner mit Ä/Übersetzt Ö.esp" \
    "$scratch/umlaut-translate/windows/program/Ordner mit Ä/Übersetzt Ö.esp" ||
    fail "umlaut-translate: the written plugins differ"

# The zip for Windows users: one top folder, a complete program folder, no foreign DLLs.
"$cpack" --config "$windows_build/CPackConfig.cmake" -G ZIP -B "$scratch/package" \
    >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack failed"; }
archive="$scratch/package/orvental-$version-windows.zip"
[[ -f $archive ]] || fail "no $archive"
mkdir "$scratch/unpacked"
(cd "$scratch/unpacked" && cmake -E tar xf "$archive")
top="$scratch/unpacked/orvental-$version-windows"
for entry in orvental-cli.exe orvental.exe data/Celldata.dat data/Skildata.dat data/Txtbookdata.dat \
    dataextra/Extradata.dat demo/Demo.esp help/index.html README.md LICENSE; do
    [[ -f "$top/$entry" ]] || fail "the zip lacks $entry"
done
if objdump=$(command -v x86_64-w64-mingw32-objdump); then
    for program in orvental-cli.exe orvental.exe; do
        foreign=$("$objdump" -p "$top/$program" | awk '/DLL Name:/ { print $3 }' |
            grep -v -i -x -E 'kernel32\.dll|msvcrt\.dll|ucrtbase\.dll|api-ms-win-.*\.dll|shell32\.dll|user32\.dll|advapi32\.dll|gdi32\.dll|comctl32\.dll|comdlg32\.dll' ||
            true)
        [[ -z $foreign ]] || fail "$program needs DLLs that Windows does not have: $foreign"
    done
fi
(cd "$top" && "$wine_run" orvental-cli.exe list 'demo\Demo.esp') >"$scratch/zip-list" ||
    fail "the unpacked orvental-cli.exe list exited with $?"
linux_cli list "$linux_program/demo/Demo.esp" >"$scratch/linux-list"
cmp "$scratch/linux-list" "$scratch/zip-list" ||
    fail "the unpacked Windows program lists the demo plugin differently from Linux"
echo "compare_systems: the zip unpacks into a program folder that lists as on Linux"
