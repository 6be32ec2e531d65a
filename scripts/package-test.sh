#!/usr/bin/env bash
# Builds the Debian package (CPack), installs it on this machine, checks it as
# a user and the desktop would meet it, and removes it again:
#   lintian (no errors), desktop-file-validate, appstreamcli validate,
#   ormacli --version / show / db on the installed samples, orma offscreen on a
#   GEF file given on the command line (ORMA_UNATTENDED_TEST_MS answers its
#   dialogs and ends it), nothing written into /usr/share/orma or the working
#   directory, the file types and the desktop entry known to the desktop's
#   databases, and the man pages rendering without warnings.
# The package is left in build-package/. Run as root or with sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --package
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"

# Debian's own compiler and linker flags (hardening), as any package build.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
export CXXFLAGS="$CXXFLAGS $CPPFLAGS"
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORMA_WITH_TESTS=OFF -DORMA_WITH_BENCH=OFF -DORMA_UNITY_BUILD=ON -DORMA_REQUIRE_PACKAGE_TOOLS=ON
cmake --build build-package -j "$(nproc)"
rm -f build-package/orma_*.deb
(cd build-package && cpack -G DEB)
deb=$(ls build-package/orma_*.deb)
echo "== $deb"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

echo "== lintian"
# Tags of level error fail; warnings and infos are listed.
lintian --info --display-level '>=info' --fail-on error "$deb" || fail "lintian reports errors"

echo "== install"
$sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./$deb"
cleanup() { $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq orma >/dev/null || true; }
trap cleanup EXIT

app_id=$(basename /usr/share/applications/*.Orma.desktop .desktop)
echo "== desktop-file-validate, appstreamcli validate ($app_id)"
desktop-file-validate "/usr/share/applications/$app_id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "/usr/share/metainfo/$app_id.metainfo.xml" || fail "appstreamcli validate"

echo "== ormacli"
[ "$(command -v ormacli)" = /usr/bin/ormacli ] || fail "ormacli is not /usr/bin/ormacli"
[ "$(ormacli --version)" = "ormacli $(dpkg-deb -f "$deb" Version | cut -d- -f1)" ] || fail "ormacli --version"
samples=/usr/share/orma/samples
ormacli show "$samples/profile1/VES100.GEF" >/dev/null || fail "ormacli show on the installed sample"
ormacli db "$samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb" >/dev/null || fail "ormacli db on the installed sample"
grep -q -- '--equivalent MODELS.csv' <<<"$(ormacli fit --help)" || fail "ormacli fit --help"
bash -c 'source /usr/share/bash-completion/completions/ormacli && COMP_WORDS=(ormacli fit --glo) COMP_CWORD=2 && _ormacli && [ "${COMPREPLY[*]}" = --global ]' \
  || fail "bash completion of ormacli fit --glo"

echo "== orma on a GEF file, in an empty folder, as a new user"
work=$(mktemp -d)
mkdir -p "$work/home" "$work/cwd" "$work/runtime"
chmod 700 "$work/runtime"
touch "$work/stamp"
out=$(cd "$work/cwd" && env -i PATH="$PATH" HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
  QT_QPA_PLATFORM=offscreen ORMA_UNATTENDED_TEST_MS=300 timeout 120 orma "$samples/profile1/VES100.GEF" 2>/dev/null) \
  || fail "orma did not end by itself (status $?)"
echo "$out"
grep -qF "window \"ORMA - programme for VES interpretation - opened: $samples/profile1/VES100.GEF\"" <<<"$out" \
  || fail "orma did not open the GEF file given"
grep -qF "window \"db: $samples/ves-ukazkova-data/ukazkova-ves-databaze.vdb" <<<"$out" \
  || fail "orma did not open the installed sample database"
[ -f "$work/home/.config/orma/ormawin.ini" ] || fail "the settings are not in ~/.config/orma"
[ -z "$(ls -A "$work/cwd")" ] || fail "orma wrote into the working directory: $(ls -A "$work/cwd")"
[ -z "$(find /usr/share/orma -newer "$work/stamp")" ] || fail "orma wrote into /usr/share/orma"
orma --version

echo "== file types and the desktop entry"
grep -q "application/x-ves-gef:\*\.gef" /usr/share/mime/globs2 || fail "*.gef is not known to the MIME database"
grep -q "^application/x-ves-gef=.*$app_id.desktop" /usr/share/applications/mimeinfo.cache \
  || fail "the desktop entry is not listed for GEF files"
if command -v gio >/dev/null; then
  type=$(gio info -a standard::content-type "$samples/profile1/VES100.GEF" | sed -n 's/.*standard::content-type: //p')
  [ "$type" = application/x-ves-gef ] || fail "VES100.GEF is seen as $type"
  grep -q "$app_id.desktop" <<<"$(gio mime application/x-ves-database)" || fail "no application for .vdb files"
fi

echo "== man pages"
for page in ormacli orma; do
  warnings=$(MANWIDTH=80 man --warnings -l "/usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
man_page=$(MANWIDTH=80 man ormacli 2>&1) || fail "man ormacli"
head -n 12 <<<"$man_page"

rm -rf "$work"
if ((failures)); then
  echo "$failures check(s) failed"
  exit 1
fi
echo "The package $deb passed every check."
