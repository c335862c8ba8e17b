#!/usr/bin/env bash
# Builds the Debian package from an already built build/, installs it, checks the installed viewer
# from the root folder (its version, a screenshot of the bundled sample drawn with the installed
# shaders and images, the desktop entry, the RSF file type) and removes the package again.
# Needs root or sudo and the packages of scripts/install-deps.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

rm -f build/ramiflex_*.deb
start=$(date +%s)
(cd build && cpack -G DEB >/dev/null)
debs=(build/ramiflex_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
  echo "package-test: expected one build/ramiflex_*.deb, found: ${debs[*]}" >&2
  exit 1
fi
deb="${debs[0]}"
version=$(dpkg-deb -f "$deb" Version)
echo "package-test: $deb, $(stat -c %s "$deb") bytes, made in $(($(date +%s) - start)) s"

work=$(mktemp -d)
# --reinstall: a package of the same version left by an earlier run is replaced all the same.
$SUDO apt-get install -y -qq --reinstall "./$deb"
trap 'rm -rf "$work"; $SUDO apt-get remove -y -qq ramiflex >/dev/null' EXIT
cd /

fail() {
  echo "package-test: $*" >&2
  exit 1
}

[ "$(command -v ramiflex)" = /usr/bin/ramiflex ] || fail "ramiflex is not /usr/bin/ramiflex"
# No display here: the version is told without a window.
ramiflex --version | tee "$work/version"
grep -qF "$version" "$work/version" || fail "--version does not name $version"

# Every shader and image comes from /usr/share/ramiflex: any message about one that could not be
# opened, compiled or linked fails the check (the trace is on, so that no message is held back),
# as does a picture of one colour.
RAMIFLEX_TRACE=1 xvfb-run -a -s "-screen 0 1600x1200x24" ramiflex \
  /usr/share/ramiflex/data/ramiflex.xml --screenshot "$work/x.png" >"$work/out" 2>&1 ||
  { cat "$work/out"; fail "the screenshot run failed"; }
if grep -a -E "^(Shader|Programm) " "$work/out"; then
  fail "shader messages from the installed viewer"
fi
for image in Font.png cushion_tex.png lighttex.png; do
  [ -f "/usr/share/ramiflex/imgs/$image" ] || fail "no /usr/share/ramiflex/imgs/$image"
done
/usr/bin/python3 - "$work/x.png" <<'PY'
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert("RGB")
if image.size != (1024, 768):
    sys.exit("package-test: the screenshot is %d x %d, not 1024 x 768" % image.size)
# getcolors(1) lists the colours only when there is at most one.
if image.getcolors(1) is not None:
    sys.exit("package-test: the screenshot is all one colour")
print("package-test: screenshot %d x %d with %d colours"
      % (image.size + (len(image.getcolors(1 << 24)),)))
PY

desktop-file-validate /usr/share/applications/ramiflex.desktop
grep -qx "Exec=ramiflex %f" /usr/share/applications/ramiflex.desktop || fail "desktop entry Exec"
grep -q "^MimeType=.*text/x-ramiflex-rsf;" /usr/share/applications/ramiflex.desktop ||
  fail "the desktop entry does not open text/x-ramiflex-rsf"
# The shared-mime-info trigger has rebuilt the database with the new type.
grep -q ":text/x-ramiflex-rsf:\*\.rsf$" /usr/share/mime/globs2 ||
  fail "*.rsf is not text/x-ramiflex-rsf in /usr/share/mime/globs2"
[ -f /usr/share/icons/hicolor/256x256/apps/ramiflex.png ] || fail "no icon"

echo "package-test: passed"
