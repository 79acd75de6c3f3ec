#!/usr/bin/env bash
# Builds the Windows zip with CPack and checks it: named for the version, holding the game,
# the data checker, the data files, the README and the licence texts; the programs asking
# Windows for nothing but its own DLLs (everything else is linked in); and, unzipped, the
# game and the checker finding the data in their own folder under Wine.
# Usage: windows_zip_test.sh <build directory> <wine_run.sh> <version>
set -u
objdump=x86_64-w64-mingw32-objdump
command -v "$objdump" >/dev/null || { echo "$objdump is not installed"; exit 77; }
command -v unzip >/dev/null || { echo "unzip is not installed"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$1" && cpack -B "$work" >/dev/null) || fail "cpack"
name=brinewort-$3-windows-x86_64
[[ -f "$work/$name.zip" ]] || fail "no $name.zip: $(ls "$work")"
(cd "$work" && unzip -q "$name.zip") || fail "unzip"
folder=$work/$name
for file in brinewort.exe brinewort-datacheck.exe map.txt Story.txt NPCscripts.rtf \
    SkeletonScripts.txt BartenderScripts.txt dragon2.txt Wizard.txt README.txt \
    licences/mingw-w64-runtime.txt licences/gcc-runtime.txt; do
    [[ -s "$folder/$file" ]] || fail "$file is not in the zip"
done

# Windows' own DLLs, which every Windows has.
system_dlls='^(KERNEL32|USER32|ADVAPI32|SHELL32|WINMM|msvcrt)\.dll$'
for program in brinewort.exe brinewort-datacheck.exe; do
    dlls=$("$objdump" -p "$folder/$program" | awk '/DLL Name:/ {print $3}')
    [[ -n "$dlls" ]] || fail "$program imports nothing?"
    others=$(grep -Eiv "$system_dlls" <<<"$dlls")
    [[ -z "$others" ]] || fail "$program needs DLLs that are not Windows' own: $others"
done

# The game says its version started from anywhere; the checker finds the data can be won.
version=$(cd "$work" && "$2" "$folder/brinewort.exe" --version | tr -d '\r')
[[ "$version" == "brinewort $3" ]] || fail "--version says '$version'"
"$2" "$folder/brinewort.exe" --help | grep -q '%APPDATA%\\Brinewort' || fail "--help: no %APPDATA%"
refusal=$("$2" "$folder/brinewort.exe" --data-dir "$work/nowhere" 2>&1 >/dev/null | tr -d '\r')
[[ "$refusal" == "brinewort: --data-dir "*"nowhere: No such file or directory" ]] ||
    fail "--data-dir naming nothing: '$refusal'"
report=$(cd "$folder" && "$2" brinewort-datacheck.exe . | tr -d '\r')
grep -qx "The game can be won with these files." <<<"$report" || fail "datacheck: $report"
echo "PASS"
