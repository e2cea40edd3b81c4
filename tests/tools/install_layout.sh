#!/usr/bin/env bash
# cmake --install puts the workstation's files together: the library, the
# card reader simulator and the host program in bin/, the header, the
# documents; the installed host program finds the installed library and
# reports its version.
#   install_layout.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
prefix=$(mktemp -d /tmp/corvane-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
# cmake --install, with its list of installed files written to the
# temporary folder instead of the build tree.
mkdir "$prefix/script"
sed "s|file(WRITE \"$build/|file(WRITE \"$prefix/script/|" "$build/cmake_install.cmake" \
  > "$prefix/script/cmake_install.cmake"
cmake -DCMAKE_INSTALL_PREFIX="$prefix" -P "$prefix/script/cmake_install.cmake" >/dev/null
for f in bin/libCorvaneApply.so bin/libICCInter01046.so bin/corvane-host include/corvane_apply.h \
         doc/README.md doc/CHANGELOG.md doc/LICENSE doc/examples/c/host.c; do
  [ -f "$prefix/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done
out=$("$prefix/bin/corvane-host" version)
echo "$out"
echo "$out" | grep -q "^library $prefix/bin/libCorvaneApply.so: CorvaneApply $version\$" || { echo "FAIL: version"; exit 1; }
grep -q "^## $version\$" "$prefix/doc/CHANGELOG.md" || { echo "FAIL: CHANGELOG.md has no entry for $version"; exit 1; }
echo ok
