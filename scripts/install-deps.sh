#!/usr/bin/env bash
# Installs what building and testing need on a fresh Debian 12 machine;
# with --demo, only what the demo needs.
set -euo pipefail
packages=(
  cmake g++ make pkg-config
  googletest libgtest-dev
  mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64
  wine wine64 libwine
  xvfb xauth xdotool fonts-wqy-zenhei libgtk2.0-0
  libcurl4-openssl-dev libgtk-3-dev
  python3 python3-pyftpdlib
  clang libclang-rt-14-dev
  locales
  strace
)
# The example hosts' toolchains (examples/; Mono with the CJK encodings for
# code page 936).
packages+=(mono-mcs mono-runtime libmono-i18n-cjk4.0-cil libjna-java default-jdk-headless fp-compiler)
# The demo needs only a compiler, CMake, libcurl and the FTP server.
if [ "${1:-}" = "--demo" ]; then
  packages=(cmake g++ make pkg-config libcurl4-openssl-dev python3 python3-pyftpdlib)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo_cmd env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The GBK locale that Wine needs for code page 936.
if [ "${1:-}" != "--demo" ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN\.gbk$'; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  grep -q '^zh_CN.GBK GBK' /etc/locale.gen 2>/dev/null || echo 'zh_CN.GBK GBK' | $sudo_cmd tee -a /etc/locale.gen >/dev/null
  $sudo_cmd locale-gen >/dev/null
fi
