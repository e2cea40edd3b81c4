#!/usr/bin/env bash
# Prepares a private 32-bit Windows runtime: Debian 12's 32-bit Wine run by
# qemu-user, for a machine whose kernel refuses 32-bit executables.
#
#   scripts/wine32-runtime.sh [DIR]     (default $CORVANE_WINE32_RUNTIME,
#                                        else $CORVANE_BUILD_ROOT/wine32-runtime)
#
# Nothing of the machine changes: a private apt configuration (its own
# state, lists, cache and an empty dpkg status) downloads the i386 wine32
# package and its dependencies and qemu-user from bookworm-backports, which
# are unpacked into DIR/root (never installed).  32-bit Wine re-executes its
# loader for every new process, so the loader in the root is replaced by a
# script that runs the real one under qemu-i386.  The host's 64-bit
# wineserver serves the 32-bit clients (scripts/wine32-run.sh).  The root
# keeps no fonts of its own: its Wine draws with the machine's fonts.
#
# Idempotent: a complete runtime (DIR/ready) is left as it is; one prepared
# before it used the machine's fonts gets the font step alone.  On failure
# the step that failed is named and the script exits 1.
set -euo pipefail
root_dir=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-${CORVANE_WINE32_RUNTIME:-${CORVANE_BUILD_ROOT:-$root_dir/build}/wine32-runtime}}
case $dir in /*) ;; *) dir=$PWD/$dir ;; esac  # the loader and fonts.conf name it
mirror=${CORVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
wine_version=$(dpkg-query -W -f='${Version}' libwine 2>/dev/null || true)
base_stamp="wine32=$wine_version qemu=bookworm-backports"
stamp="$base_stamp fonts=host"

fail() { echo "wine32-runtime: FAILED: $*" >&2; exit 1; }
step() { echo "wine32-runtime: $*" >&2; }

# The step's command with its output kept in a log that a failure prints.
run_step() {
  local what=$1; shift
  if ! "$@" >"$dir/last-step.log" 2>&1; then
    tail -n 30 "$dir/last-step.log" >&2
    fail "$what (command: $*)"
  fi
}

# A private apt configuration for one architecture: PREFIX holds its etc,
# state, cache and an empty dpkg status.  Prints the path of its apt.conf.
apt_config() {
  local prefix=$1 arch=$2 sources=$3
  mkdir -p "$prefix"/etc/apt.conf.d "$prefix"/etc/preferences.d "$prefix"/etc/sources.list.d \
    "$prefix"/state/lists/partial "$prefix"/cache/archives/partial
  : >"$prefix/status"
  printf '%s\n' "$sources" >"$prefix/etc/sources.list"
  cat >"$prefix/apt.conf" <<EOF
Dir::Etc "$prefix/etc";
Dir::State "$prefix/state";
Dir::State::status "$prefix/status";
Dir::Cache "$prefix/cache";
APT::Architecture "$arch";
APT::Architectures { "$arch"; };
APT::Install-Recommends "false";
APT::Install-Suggests "false";
APT::Sandbox::User "root";
Acquire::Languages "none";
Debug::NoLocking "true";
EOF
  echo "$prefix/apt.conf"
}

# Downloads wine32 (the host's Wine version: its wineserver serves the
# 32-bit clients) with every i386 package it depends on.
download_wine32() {
  local conf
  conf=$(apt_config "$dir/apt-i386" i386 \
    "deb [signed-by=$keyring] $mirror bookworm main
deb [signed-by=$keyring] $mirror bookworm-updates main")
  run_step "apt update of the private i386 configuration ($mirror)" env APT_CONFIG="$conf" apt-get update --error-on=any
  run_step "download of wine32=$wine_version:i386 and its dependencies" \
    env APT_CONFIG="$conf" apt-get install -y --download-only "wine32=$wine_version" "libwine=$wine_version"
}

# qemu-user 10 from bookworm-backports: 7.2 from bookworm itself spends
# minutes in Wine's address-space reservation loop.
download_qemu() {
  local conf
  conf=$(apt_config "$dir/apt-amd64" amd64 "deb [signed-by=$keyring] $mirror bookworm-backports main")
  run_step "apt update of the private bookworm-backports configuration" env APT_CONFIG="$conf" apt-get update --error-on=any
  mkdir -p "$dir/debs-qemu"
  (cd "$dir/debs-qemu" && run_step "download of qemu-user from bookworm-backports" \
    env APT_CONFIG="$conf" apt-get download qemu-user)
}

unpack_all() {
  rm -rf "$dir/root"
  mkdir -p "$dir/root"
  local deb
  for deb in "$dir"/apt-i386/cache/archives/*.deb "$dir"/debs-qemu/*.deb; do
    run_step "unpacking $(basename "$deb")" dpkg-deb -x "$deb" "$dir/root"
  done
}

# The root's own library cache, so the host's /lib32 is never mixed in.
library_cache() {
  printf '%s\n' /lib/i386-linux-gnu /usr/lib/i386-linux-gnu /lib /usr/lib >"$dir/root/etc/ld.so.conf"
  run_step "ldconfig of the private root" ldconfig -r "$dir/root"
}

# What libwine's postinst would do: zlib1.dll from libz-mingw-w64 marked
# as a Wine builtin.
builtin_zlib() {
  local in=$dir/root/usr/i686-w64-mingw32/lib/zlib1.dll
  local out=$dir/root/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll
  [ -f "$in" ] || fail "zlib1.dll missing in the root (package libz-mingw-w64 not unpacked)"
  {
    head -c 64 "$in"
    printf 'Wine builtin DLL'
    printf '\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0'
    tail -c +97 "$in"
  } >"$out"
}

# Every Wine process starts through this script: the real loader under qemu.
wrap_loader() {
  local loader=$dir/root/usr/lib/wine/wine qemu=$dir/root/usr/bin/qemu-i386
  [ -x "$qemu" ] || qemu=$dir/root/usr/bin/qemu-i386-static
  [ -x "$qemu" ] || fail "qemu-i386 missing in the root (qemu-user not unpacked)"
  [ -f "$loader" ] || fail "32-bit Wine loader $loader missing (wine32 not unpacked)"
  mv "$loader" "$loader.real"
  printf '#!/bin/sh\nexec "%s" -L "%s" -0 "$0" "%s" "$@"\n' "$qemu" "$dir/root" "$loader.real" >"$loader"
  chmod +x "$loader"
}

# The machine's fonts and font configuration, as wine64 sees them.  Under
# qemu -L a path the root also holds is opened in the root, but i386 glibc's
# stat (statx) is not redirected: with the root's own fontconfig files and
# its DejaVu-only /usr/share/fonts, fontconfig listed the root's folders
# under the times of the machine's and kept that listing in the machine's
# /var/cache/fontconfig, valid until the machine's fonts change, so the
# 32-bit Wine never saw a Chinese font and drew boxes.  The root keeps
# neither: its one fonts.conf reads the machine's font folders and
# configuration and caches in DIR/fontconfig-cache, outside the root.
host_fonts() {
  rm -rf "$dir/root/usr/share/fonts" "$dir/root/etc/fonts" "$dir/fontconfig-cache"
  mkdir -p "$dir/root/etc/fonts" "$dir/fontconfig-cache"
  cat >"$dir/root/etc/fonts/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts</dir>
  <dir>/usr/local/share/fonts</dir>
  <dir prefix="xdg">fonts</dir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
  <cachedir>$dir/fontconfig-cache</cachedir>
</fontconfig>
EOF
}

main() {
  local ready=
  [ -f "$dir/ready" ] && ready=$(cat "$dir/ready")
  if [ "$ready" = "$stamp" ]; then
    echo "$dir"
    return
  fi
  if [ "$ready" = "$base_stamp" ]; then
    step "the runtime in $dir now draws with the machine's fonts"
    host_fonts
    echo "$stamp" >"$dir/ready"
    echo "$dir"
    return
  fi
  [ -n "$wine_version" ] || fail "the host's Wine (package libwine) is not installed: run scripts/install-deps.sh"
  [ -x /usr/lib/wine/wineserver64 ] || fail "the host's /usr/lib/wine/wineserver64 is missing (package wine64)"
  [ -f "$keyring" ] || fail "$keyring missing (package debian-archive-keyring)"
  mkdir -p "$dir"
  rm -f "$dir/ready"
  local start=$SECONDS
  step "downloading Debian's wine32 $wine_version (i386) and qemu-user (bookworm-backports) into $dir"
  download_wine32
  download_qemu
  step "unpacking"
  unpack_all
  library_cache
  builtin_zlib
  host_fonts
  wrap_loader
  echo "$stamp" >"$dir/ready"
  step "ready in $((SECONDS - start)) s"
  echo "$dir"
}

main
