#!/bin/sh
# make dist: builds Quillborne.exe afresh with SOURCE_DATE_EPOCH (the last
# commit's time unless set) and packs build/dist/. The same commit and
# SOURCE_DATE_EPOCH give the same bytes.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH
tree=build/dist-build
rm -rf "$tree" build/dist
cmake -S . -B "$tree" -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
cmake --build "$tree" --target Quillborne -j2 >/dev/null
version=$(sed -n 's/^#define QB_VERSION_TEXT "\(.*\)"/\1/p' "$tree/generated/version.h")
/usr/bin/python3 tools/dist.py "$tree/Quillborne.exe" "$version" build/dist
