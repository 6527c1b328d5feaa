#!/bin/sh
# Two clean builds of the same sources with the same SOURCE_DATE_EPOCH must
# give the same bytes; and LastCompiled must then be that time.
#   reproducible.sh SOURCE_DIR SCRATCH_DIR
set -eu
src=$1
scratch=$2
rm -rf "$scratch"
export SOURCE_DATE_EPOCH=1765000000   # 2025-12-06 05:46:40 UTC

for tree in a b; do
    cmake -S "$src" -B "$scratch/$tree" -DCMAKE_BUILD_TYPE=MinSizeRel \
        -DCMAKE_TOOLCHAIN_FILE="$src/cmake/mingw-i686.cmake" >/dev/null
    cmake --build "$scratch/$tree" --target Quillborne -j2 >/dev/null
done
cmp "$scratch/a/Quillborne.exe" "$scratch/b/Quillborne.exe"
echo "two builds, same bytes: $(sha256sum <"$scratch/a/Quillborne.exe" | cut -c1-16)..."

/usr/bin/python3 "$src/tests/image/check_image.py" "$scratch/a/Quillborne.exe" Image.test_version_block
rm -rf "$scratch"
