#!/usr/bin/python3
"""Packs the portable release: a zip with Quillborne.exe, the read-me for
Windows users and the licence, and a SHA256SUMS file beside it. Files go
in a fixed order with fixed times (SOURCE_DATE_EPOCH), so that the same
executable gives the same zip.

    dist.py QUILLBORNE.exe VERSION OUTPUT_DIR
"""
import hashlib
import os
import sys
import time
import zipfile

exe, version, out = sys.argv[1:4]
top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
epoch = int(os.environ["SOURCE_DATE_EPOCH"])
stamp = max(time.gmtime(epoch)[:6], (1980, 1, 1, 0, 0, 0))


def crlf(path):
    with open(path, "rb") as f:
        return f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")


with open(exe, "rb") as f:
    files = [("Quillborne.exe", f.read()),
             ("README.txt", crlf(os.path.join(top, "dist", "README.txt"))),
             ("LICENSE.txt", crlf(os.path.join(top, "LICENSE")))]

os.makedirs(out, exist_ok=True)
name = f"Quillborne-{version}-win32.zip"
path = os.path.join(out, name)
with zipfile.ZipFile(path, "w") as z:
    for member, data in files:
        info = zipfile.ZipInfo(member, date_time=stamp)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 0
        info.external_attr = 0x20  # archive bit, as Windows tools write it
        z.writestr(info, data, compresslevel=9)

with open(path, "rb") as f:
    digest = hashlib.sha256(f.read()).hexdigest()
with open(os.path.join(out, "SHA256SUMS"), "w") as f:
    f.write(f"{digest}  {name}\n")
print(f"{path}\n{digest}  {name}")
