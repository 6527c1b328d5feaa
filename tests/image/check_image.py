#!/usr/bin/python3
"""Checks the built Quillborne.exe as a file: image kind, hardening, imports,
size and every resource.

    check_image.py PATH/Quillborne.exe
"""
import datetime
import os
import re
import struct
import sys
import unittest
import xml.etree.ElementTree as ET

import pefile

EXE = None
LANG_EN_US = 0x0409

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def resource(pe, type_id, name):
    """(language, bytes) of each resource of that type and id or name."""
    found = []
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if t.id != type_id:
            continue
        for e in t.directory.entries:
            if (e.name is not None and str(e.name) == name) or e.id == name:
                for lang in e.directory.entries:
                    rva, size = lang.data.struct.OffsetToData, lang.data.struct.Size
                    found.append((lang.id, pe.get_data(rva, size)))
    return found


class Image(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(EXE)
        cls.size = os.path.getsize(EXE)

    def test_32_bit_gui_program(self):
        self.assertEqual(self.pe.FILE_HEADER.Machine, pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"])
        self.assertEqual(self.pe.OPTIONAL_HEADER.Subsystem,
                         pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"])
        self.assertTrue(self.pe.is_exe())

    def test_imports_only_system_dlls(self):
        dlls = {i.dll.decode().lower() for i in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertLessEqual(dlls, {"kernel32.dll", "user32.dll", "msvcrt.dll"})
        self.assertIn("user32.dll", dlls)

    def test_hardening(self):
        flags = self.pe.OPTIONAL_HEADER.DllCharacteristics
        for name in ("DYNAMIC_BASE", "NX_COMPAT", "NO_SEH"):
            with self.subTest(flag=name):
                self.assertTrue(flags & pefile.DLL_CHARACTERISTICS["IMAGE_DLLCHARACTERISTICS_" + name])
        relocations = self.pe.OPTIONAL_HEADER.DATA_DIRECTORY[5]
        self.assertGreater(relocations.Size, 0, "no relocation section: ASLR cannot move the image")
        write = pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_WRITE"]
        execute = pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_EXECUTE"]
        for s in self.pe.sections:
            with self.subTest(section=s.Name):
                self.assertFalse(s.Characteristics & write and s.Characteristics & execute,
                                 "section both writable and executable")

    def test_no_time_stamp(self):
        self.assertEqual(self.pe.FILE_HEADER.TimeDateStamp, 0)

    def test_small(self):
        rsrc = sum(s.SizeOfRawData for s in self.pe.sections if s.Name.rstrip(b"\0") == b".rsrc")
        self.assertLessEqual(self.size, 64 * 1024)
        self.assertLessEqual(self.size - rsrc, 24 * 1024)

    def test_manifest(self):
        found = resource(self.pe, RT_MANIFEST, 1)
        self.assertEqual([lang for lang, _ in found], [LANG_EN_US])
        root = ET.fromstring(found[0][1])
        v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
        self.assertEqual(root.tag, v1 + "assembly")
        self.assertEqual(root.get("manifestVersion"), "1.0")
        self.assertEqual([child.tag for child in root], [v1 + "dependency", v3 + "trustInfo"])
        identity = root.find(f"{v1}dependency/{v1}dependentAssembly/{v1}assemblyIdentity")
        self.assertEqual(dict(identity.attrib), {
            "type": "win32",
            "name": "Microsoft.Windows.Common-Controls",
            "version": "6.0.0.0",
            "publicKeyToken": "6595b64144ccf1df",
            "language": "*",
            "processorArchitecture": "*",
        })
        level = root.find(f"{v3}trustInfo/{v3}security/{v3}requestedPrivileges/{v3}requestedExecutionLevel")
        self.assertEqual(dict(level.attrib), {"level": "asInvoker", "uiAccess": "false"})

    def test_icon_group(self):
        found = resource(self.pe, RT_GROUP_ICON, "MAINICON")
        self.assertEqual([lang for lang, _ in found], [LANG_EN_US])
        data = found[0][1]
        reserved, kind, count = struct.unpack_from("<HHH", data)
        self.assertEqual((reserved, kind, count), (0, 1, 5))
        sizes = []
        for i in range(count):
            w, h, colours, _, planes, bits, length, icon_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
            size = w or 256
            sizes.append(size)
            self.assertEqual((h or 256, colours, bits), (size, 0, 32))
            images = resource(self.pe, RT_ICON, icon_id)
            self.assertEqual([lang for lang, _ in images], [LANG_EN_US])
            image = images[0][1]
            self.assertEqual(len(image), length)
            with self.subTest(size=size):
                if size == 256:
                    self.assertEqual(image[:8], b"\x89PNG\r\n\x1a\n")
                    self.assertEqual(struct.unpack_from(">II", image, 16), (256, 256))
                else:
                    header, bw, bh, _, bbits = struct.unpack_from("<IiiHH", image)
                    self.assertEqual((header, bw, bh, bbits), (40, size, 2 * size, 32))
        self.assertEqual(sizes, [256, 48, 32, 24, 16])

    def test_version_block(self):
        found = resource(self.pe, RT_VERSION, 1)
        self.assertEqual([lang for lang, _ in found], [LANG_EN_US])
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((fixed.FileVersionMS, fixed.FileVersionLS), (0x00010001, 0x00000017))
        self.assertEqual((fixed.ProductVersionMS, fixed.ProductVersionLS), (0x00010001, 0x00000017))
        self.assertEqual((fixed.FileFlagsMask, fixed.FileFlags), (0x3F, 0))
        self.assertEqual((fixed.FileOS, fixed.FileType, fixed.FileSubtype), (4, 1, 0))
        self.assertEqual((fixed.FileDateMS, fixed.FileDateLS), (0, 0))

        tables = [t for info in self.pe.FileInfo for e in info if hasattr(e, "StringTable")
                  for t in e.StringTable]
        self.assertEqual([t.LangID for t in tables], [b"040904E4"])
        entries = [(k.decode(), v.decode()) for k, v in tables[0].entries.items()]
        self.assertEqual([k for k, _ in entries], [
            "CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
            "OriginalFilename", "ProductName", "ProductVersion", "Comments", "LastCompiled"])
        values = dict(entries)
        self.assertEqual(values["FileDescription"], "Quillborne")
        self.assertEqual(values["FileVersion"], "1.1.0.23")
        self.assertEqual(values["InternalName"], "Quillborne")
        self.assertEqual(values["OriginalFilename"], "Quillborne.exe")
        self.assertEqual(values["ProductName"], "Quillborne")
        self.assertEqual(values["ProductVersion"], "1.1.0.23")
        self.assertTrue(values["CompanyName"])
        self.assertRegex(values["LegalCopyright"], r"\b(19|20)\d\d\b.*" + re.escape(values["CompanyName"]))
        self.assertRegex(values["Comments"], r"^[^@\s]+@[^@\s]+\.[a-z]+$")
        self.assertRegex(values["LastCompiled"], r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$")
        compiled = datetime.datetime.strptime(values["LastCompiled"], "%Y-%m-%d %H:%M:%S")
        epoch = os.environ.get("SOURCE_DATE_EPOCH")
        if epoch:
            self.assertEqual(compiled, datetime.datetime.utcfromtimestamp(int(epoch)))
        else:
            # The time of the build: no later than the file, and not long before.
            written = datetime.datetime.utcfromtimestamp(os.path.getmtime(EXE))
            self.assertLessEqual(compiled, written + datetime.timedelta(seconds=1))
            self.assertGreater(compiled, written - datetime.timedelta(minutes=10))

        translations = [v.entry for info in self.pe.FileInfo for e in info if hasattr(e, "Var")
                        for v in e.Var]
        self.assertEqual(translations, [{b"Translation": "0x0409 0x04e4"}])


if __name__ == "__main__":
    EXE = sys.argv.pop(1)
    unittest.main(verbosity=2)
