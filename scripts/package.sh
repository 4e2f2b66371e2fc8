#!/usr/bin/env bash
# Builds the Debian package (build/ledora_<version>_<arch>.deb) with CPack and checks its
# control data and contents, then has lintian check it: any error or warning fails.
# BUILD=folder picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
[ -f "$build/CMakeCache.txt" ] || cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/ledora_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/ledora_*.deb)

info=$(dpkg-deb -I "$deb")
contents=$(dpkg-deb -c "$deb")
fail() { echo "package check: $1" >&2; exit 1; }
depends=$(sed -n 's/^ Depends: //p' <<<"$info")
grep -q '^ Package: ledora$' <<<"$info" || fail "package name"
grep -q '^ Version: 1\.0\.0\.3$' <<<"$info" || fail "version"
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libqt6network6 \
           'libicu[0-9]+' fonts-ipafont-gothic qt6-translations-l10n; do
    grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "no dependency on $dep in: $depends"
done
for file in ./usr/bin/ledora ./usr/bin/ledora-render ./usr/bin/ledora-datapacket \
            ./usr/share/applications/ledora.desktop \
            ./usr/share/icons/hicolor/scalable/apps/ledora.svg \
            ./usr/share/icons/hicolor/256x256/apps/ledora.png \
            ./usr/share/doc/ledora/copyright ./usr/share/doc/ledora/changelog.gz \
            ./usr/share/man/man1/ledora.1.gz ./usr/share/man/man1/ledora-render.1.gz \
            ./usr/share/man/man1/ledora-datapacket.1.gz; do
    grep -q " $file\$" <<<"$contents" || fail "$file missing"
done
# Only the programs, their desktop files and documents: no tests, benchmarks or build leftovers.
extra=$(awk '{print $6}' <<<"$contents" | grep -v '/$' |
        grep -Ev '^\./usr/(bin/ledora(-render|-datapacket)?|share/applications/ledora\.desktop|share/icons/hicolor/.*/apps/ledora\.(svg|png)|share/doc/ledora/.*|share/man/man1/ledora(-render|-datapacket)?\.1\.gz)$' || true)
[ -z "$extra" ] || fail "unexpected files: $extra"

# Debian's own checks; informational notes are shown but do not fail.
command -v lintian >/dev/null || fail "lintian is not installed (scripts/install-deps.sh)"
lintian --fail-on error,warning --display-info --tag-display-limit 0 "$deb" >&2 ||
    fail "lintian found errors or warnings"
echo "$deb"
