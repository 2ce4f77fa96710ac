#!/usr/bin/env bash
# The Debian package as a user gets it, made from this build's installation:
# the files it puts in place, the packages it depends on and lintian's
# verdict; and the desktop entry and AppStream metadata as the desktop's own
# tools read them.
# package_test.sh BUILD_DIR CMAKE CPACK
set -euo pipefail
build=$1
cmake=$2
cpack=$3

for tool in dpkg-deb dpkg-shlibdeps dpkg-architecture lintian desktop-file-validate appstreamcli; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing; bash scripts/setup.sh --tests installs it."
    exit 77
  fi
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The build's installation, packed as cpack would pack it, without building.
"$cmake" --install "$build" --prefix "$tmp/root/usr" --strip >/dev/null
(cd "$tmp" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" \
   -D CPACK_INSTALL_CMAKE_PROJECTS= -D "CPACK_INSTALLED_DIRECTORIES=$tmp/root;/" >/dev/null)
debs=("$tmp"/out/kinvalo_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "cpack made no kinvalo_*.deb"
deb=${debs[0]}

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
expected="drwxr-xr-x ./usr/
drwxr-xr-x ./usr/bin/
-rwxr-xr-x ./usr/bin/kinvalo
-rwxr-xr-x ./usr/bin/kinvalo-cli
drwxr-xr-x ./usr/lib/
drwxr-xr-x ./usr/lib/$multiarch/
drwxr-xr-x ./usr/lib/$multiarch/kinvalo/
-rw-r--r-- ./usr/lib/$multiarch/kinvalo/kinvalo-cli-graph.so
drwxr-xr-x ./usr/share/
drwxr-xr-x ./usr/share/applications/
-rw-r--r-- ./usr/share/applications/io.github.kinvalo.kinvalo.desktop
drwxr-xr-x ./usr/share/doc/
drwxr-xr-x ./usr/share/doc/kinvalo/
-rw-r--r-- ./usr/share/doc/kinvalo/changelog.Debian.gz
-rw-r--r-- ./usr/share/doc/kinvalo/copyright
drwxr-xr-x ./usr/share/doc/kinvalo/examples/
-rw-r--r-- ./usr/share/doc/kinvalo/examples/README.md
-rw-r--r-- ./usr/share/doc/kinvalo/examples/fertiliser.inp
-rw-r--r-- ./usr/share/doc/kinvalo/examples/salinity.inp
-rw-r--r-- ./usr/share/doc/kinvalo/examples/straight.inp
-rw-r--r-- ./usr/share/doc/kinvalo/examples/waterlogging.inp
-rw-r--r-- ./usr/share/doc/kinvalo/examples/watertable.inp
drwxr-xr-x ./usr/share/icons/
drwxr-xr-x ./usr/share/icons/hicolor/
drwxr-xr-x ./usr/share/icons/hicolor/scalable/
drwxr-xr-x ./usr/share/icons/hicolor/scalable/apps/
-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/kinvalo.svg
drwxr-xr-x ./usr/share/lintian/
drwxr-xr-x ./usr/share/lintian/overrides/
-rw-r--r-- ./usr/share/lintian/overrides/kinvalo
drwxr-xr-x ./usr/share/man/
drwxr-xr-x ./usr/share/man/man1/
-rw-r--r-- ./usr/share/man/man1/kinvalo-cli.1.gz
-rw-r--r-- ./usr/share/man/man1/kinvalo.1.gz
drwxr-xr-x ./usr/share/metainfo/
-rw-r--r-- ./usr/share/metainfo/io.github.kinvalo.kinvalo.metainfo.xml
drwxr-xr-x ./usr/share/mime/
drwxr-xr-x ./usr/share/mime/packages/
-rw-r--r-- ./usr/share/mime/packages/kinvalo.xml"
actual=$(dpkg-deb -c "$deb" | awk '{print $1, $6}' | LC_ALL=C sort -k2,2)
diff -u <(echo "$expected") <(echo "$actual") || fail "the package's files differ from the expected list (- expected, + packed)"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt6core6 libqt6gui6 libqt6widgets6 fonts-liberation; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends does not name $package"
done

# The changelog's newest entry and the metainfo's newest release are those
# of the package's version.
version=$(dpkg-deb -f "$deb" Version)
changelog=$(zcat "$tmp/root/usr/share/doc/kinvalo/changelog.Debian.gz" | head -1)
[[ $changelog == "kinvalo ($version) "* ]] || fail "the changelog begins with '$changelog', not version $version"
metainfo=$tmp/root/usr/share/metainfo/io.github.kinvalo.kinvalo.metainfo.xml
release=$(grep -m1 -o '<release version="[^"]*"' "$metainfo")
[ "$release" = "<release version=\"${version%-*}\"" ] || fail "the metainfo's newest release is $release, not ${version%-*}"

lintian_status=0
lintian --fail-on error,warning "$deb" >"$tmp/lintian.txt" 2>&1 || lintian_status=$?
echo "lintian:"
grep -v 'running with root privileges' "$tmp/lintian.txt" || true
[ "$lintian_status" -eq 0 ] || fail "lintian found errors or warnings that are not overridden"

desktop-file-validate "$tmp/root/usr/share/applications/io.github.kinvalo.kinvalo.desktop" \
  || fail "desktop-file-validate refused the desktop entry"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused the metainfo"
echo "The package, its desktop entry and its metainfo pass."
