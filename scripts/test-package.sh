#!/usr/bin/env bash
# Makes the .deb from the Release build (scripts/test-builds.sh builds it) and
# checks it as a user gets it: the files it holds, then installed with apt
# (which resolves its dependencies) and each program run from where it was
# installed; removed again afterwards. Without root the package is unpacked
# into a temporary folder and run from there instead.
# usage: scripts/test-package.sh [BUILD_DIR]   (default: build, the release preset)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=${1:-build}
[ -f "$build/CMakeCache.txt" ] || cmake --preset release
cmake --build "$build"
rm -f "$build"/tamlocfg_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/tamlocfg_*.deb)
echo "test-package: $deb"

contents=$(dpkg-deb --contents "$deb")
for path in usr/bin/tamlocfg usr/bin/tamlocfg-cli usr/bin/tamlo-sim usr/share/tamlocfg/ademco.txt \
            usr/share/applications/tamlocfg.desktop usr/share/icons/hicolor/scalable/apps/tamlocfg.svg \
            usr/share/mime/packages/tamlocfg.xml; do
  grep -q "\./$path\$" <<<"$contents" || { echo "test-package: $path is missing from the package" >&2; exit 1; }
done
depends=$(dpkg-deb --field "$deb" Depends)
for needed in libqt6widgets6 qt6-qpa-plugins; do
  grep -q "$needed" <<<"$depends" || { echo "test-package: the package does not depend on $needed" >&2; exit 1; }
done

if [ "$(id -u)" -eq 0 ]; then
  trap 'apt-get remove -y -qq tamlocfg >/dev/null || true' EXIT
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
  root=""
else
  root=$(mktemp -d)
  trap 'rm -rf "$root"' EXIT
  dpkg-deb -x "$deb" "$root"
fi

"$root/usr/bin/tamlocfg-cli" --help | grep -q "tamlocfg-cli"
QT_QPA_PLATFORM=offscreen "$root/usr/bin/tamlocfg" --help | grep -q -- "--help"
"$root/usr/bin/tamlo-sim" --help >/dev/null
# The installed console tool finds the installed event code list: code 130
# of the sample journal is named from it.
"$root/usr/bin/tamlocfg-cli" render-journal tests/journal/data/examples.bin - | grep -q "Проникновение" ||
  { echo "test-package: the installed console tool does not find the event code list" >&2; exit 1; }
echo "test-package: installed and ran tamlocfg, tamlocfg-cli and tamlo-sim"
