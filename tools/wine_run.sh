#!/usr/bin/env bash
# Runs a Windows program of the Windows build under Wine (the build's
# CMAKE_CROSSCOMPILING_EMULATOR), and makes and removes the Wine prefix a test run shares.
# Usage: wine_run.sh PROGRAM [ARGUMENT...]
#            in $WINEPREFIX when set, else in the prefix whose path the file
#            $BRINEWORT_WINE_PREFIX_FILE holds, else in a new prefix removed afterwards
#        wine_run.sh --make-prefix FILE     a new prefix in a temporary directory, its path
#                                           written to FILE (the first start takes ~40 s)
#        wine_run.sh --remove-prefix FILE   stops its Wine and removes it
set -u
command -v wine >/dev/null || { echo "wine_run.sh: wine is not installed" >&2; exit 127; }
# Quiet; no dialogs to install Mono or Gecko; no windows on a display.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

make_prefix() {
    WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/brinewort-wine-XXXXXX") || exit 1
    export WINEPREFIX
    wineboot --init >/dev/null 2>&1 || { echo "wine_run.sh: wineboot failed" >&2; exit 1; }
    # One Wine server for the whole run: it would otherwise stop and start between programs.
    wineserver -p
}

remove_prefix() {
    [[ -n "${WINEPREFIX:-}" && -d "$WINEPREFIX" ]] || return 0
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    rm -rf "$WINEPREFIX"
}

case "${1:-}" in
--make-prefix)
    make_prefix
    printf '%s\n' "$WINEPREFIX" >"$2"
    exit 0
    ;;
--remove-prefix)
    [[ -f "$2" ]] && WINEPREFIX=$(cat "$2") && export WINEPREFIX && remove_prefix
    rm -f "$2"
    exit 0
    ;;
esac

if [[ -z "${WINEPREFIX:-}" && -n "${BRINEWORT_WINE_PREFIX_FILE:-}" ]]; then
    [[ -s "$BRINEWORT_WINE_PREFIX_FILE" ]] ||
        { echo "wine_run.sh: no Wine prefix in $BRINEWORT_WINE_PREFIX_FILE" >&2; exit 1; }
    WINEPREFIX=$(cat "$BRINEWORT_WINE_PREFIX_FILE")
    export WINEPREFIX
fi
if [[ -z "${WINEPREFIX:-}" ]]; then
    make_prefix
    trap remove_prefix EXIT
fi
wine "$@"
