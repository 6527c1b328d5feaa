#!/bin/sh
# Installs what building and testing Quillborne needs on Debian 12, and
# registers qemu's i386 emulation so that Wine's 32-bit side can run.
# Safe to run again: it does nothing (quickly, quietly) when all is there.
set -eu

SUDO=
[ "$(id -u)" -eq 0 ] || SUDO=sudo

# Toolchains and test libraries; Wine with its 32-bit side and qemu to run
# it; a virtual display, a window manager and a screenshot tool for the
# demo; pefile for the checks of the executable.
PACKAGES="make cmake g++ clang libclang-rt-14-dev googletest libgtest-dev
libbenchmark-dev g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine
wine32:i386 qemu-user-static xvfb openbox imagemagick python3-pefile"

missing=
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' ||
        missing="$missing $p"
done

if [ -n "$missing" ]; then
    echo "setup: installing$missing"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

# The kernel refuses 32-bit ELF programs here; run them through qemu.
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    mountpoint -q /proc/sys/fs/binfmt_misc ||
        $SUDO mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
        $SUDO tee /proc/sys/fs/binfmt_misc/register >/dev/null
fi
