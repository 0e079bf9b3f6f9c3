#!/usr/bin/env bash
# Builds the Debian package of the game: zubakko_<version>_<arch>.deb in the build folder (or
# $OUT_DIR). The files are the build's `cmake --install` into /usr, stripped; the dependencies
# are the packages of the libraries the programs link (dpkg-shlibdeps) plus what they read or
# run: the font, the soundfont and python3 for zubakko-rankserver. Then lintian,
# desktop-file-validate and appstreamcli check it; any error fails the script.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=${OUT_DIR:-$build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

version=$(dpkg-parsechangelog -l "$root/dist/changelog" -S Version)
arch=$(dpkg --print-architecture)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
pkg=$stage/zubakko
DESTDIR=$pkg cmake --install "$build" --prefix /usr --strip >/dev/null

# Debian's places for the documentation: compressed man pages, the copyright and the changelog.
gzip -9n "$pkg"/usr/share/man/man*/*
doc=$pkg/usr/share/doc/zubakko
install -D -m 644 "$root/dist/copyright" "$doc/copyright"
gzip -9nc "$root/dist/changelog" >"$doc/changelog.gz"
chmod -R u=rwX,go=rX "$pkg"

# The libraries' packages, as dpkg-shlibdeps finds them (it wants a debian/control to read).
mkdir -p "$stage/debian"
printf 'Source: zubakko\n\nPackage: zubakko\nArchitecture: any\n' >"$stage/debian/control"
programs=("$pkg"/usr/games/zubakko "$pkg"/usr/games/zubakko-play "$pkg"/usr/games/zubakko-chart
          "$pkg"/usr/games/zubakko-rank)
shlibs=$(cd "$stage" && dpkg-shlibdeps -O "${programs[@]}" 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
depends="$shlibs, fonts-ipafont-gothic, timgm6mb-soundfont, python3"

mkdir -p "$pkg/DEBIAN"
(cd "$pkg" && find usr -type f -exec md5sum {} + | sort -k2) >"$pkg/DEBIAN/md5sums"
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@DEPENDS@/$depends/" \
    -e "s/@SIZE@/$(du -sk --exclude=DEBIAN "$pkg" | cut -f1)/" \
    "$root/dist/control.in" >"$pkg/DEBIAN/control"

deb=$out/zubakko_${version}_$arch.deb
dpkg-deb --root-owner-group -Zxz --build "$pkg" "$deb" >/dev/null
echo "built $deb"
echo "Depends: $depends"

desktop-file-validate "$pkg"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$pkg"/usr/share/metainfo/*.metainfo.xml
lintian --fail-on error "$deb"
