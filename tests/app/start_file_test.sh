#!/usr/bin/env bash
# `orma FILE` as a file manager runs it: the program started offscreen with
# ORMA_UNATTENDED_TEST_MS (which answers its dialogs and ends it), in an empty
# working directory of the build tree. Arguments: the program, the samples folder.
set -euo pipefail
orma=$1
samples=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

run() {
    (cd "$work" && QT_QPA_PLATFORM=offscreen ORMA_UNATTENDED_TEST_MS=150 timeout 120 "$orma" "$@" 2>/dev/null)
}
expect() {
    if ! grep -qF -- "$1" <<<"$2"; then
        echo "expected: $1"
        echo "got:"
        echo "$2"
        status=1
    fi
}

out=$(run "$samples/profile1/VES150.GEF")
expect "window \"ORMA - programme for VES interpretation - opened: $samples/profile1/VES150.GEF\"" "$out"
# The build tree keeps its settings in the working directory, as always.
[ -f "$work/ormawin.ini" ] || { echo "no ormawin.ini in the working directory"; status=1; }

# A relative name, an RST file: its first record.
cp "$samples/ves.rst" "$work/Profile.RST"
out=$(run Profile.RST)
expect "window \"ORMA-opened: $work/Profile.RST point: " "$out"

# A database opens in the section window instead of the sample.
cp "$samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb" "$work/pf.vdb"
out=$(run pf.vdb)
expect "window \"db: $work/pf.vdb - loc:" "$out"

# A file that does not read: the reader's message, and the program runs on.
printf 'no sounding here\n' > "$work/broken.GEF"
out=$(run broken.GEF)
expect "message \"" "$out"
expect "window \"ORMA - programme for VES interpretation - opened: $work/broken.GEF\"" "$out"

# Usage errors and the answers given without a display.
if (cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$orma" --nonsense 2>/dev/null); then
    echo "an unknown option was taken"; status=1
fi
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$orma" --version | grep -qx "orma [0-9.]*" || { echo "--version"; status=1; }
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$orma" --help | grep -q "usage: orma \[FILE\]" || { echo "--help"; status=1; }
exit $status
