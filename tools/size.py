#!/usr/bin/python3
"""Prints what the executable is made of: file size, resources, the rest,
and the DLLs it imports.   size.py PATH/Quillborne.exe"""
import os
import sys

import pefile

path = sys.argv[1]
pe = pefile.PE(path)
total = os.path.getsize(path)
rsrc = sum(s.SizeOfRawData for s in pe.sections if s.Name.rstrip(b"\0") == b".rsrc")
dlls = ", ".join(sorted(i.dll.decode() for i in pe.DIRECTORY_ENTRY_IMPORT))
rows = [
    ("file", f"{total:>7,} bytes  ({total / 1024:.1f} KiB)"),
    ("resources (.rsrc)", f"{rsrc:>7,} bytes  ({rsrc / 1024:.1f} KiB)"),
    ("everything else", f"{total - rsrc:>7,} bytes  ({(total - rsrc) / 1024:.1f} KiB)"),
    ("imported DLLs", dlls),
]
print(os.path.basename(path))
for name, value in rows:
    print(f"  {name:<18} {value}")
