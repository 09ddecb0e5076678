#!/usr/bin/env python3
"""The application manifest of the shipped program, read from its resources.

It must say that the program is system DPI aware (dpiAware true) and nothing
more: an execution level (trustInfo, requestedExecutionLevel) would end the
file virtualization a standard user's settings live in, and a dependency
such as common controls 6 would give the dialogs today's look. Reviews both
builds, then shows that it refuses the two programs built to ask for those;
or reviews the programs named (--refused: each must be refused).
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

ALLOWED = {"{urn:schemas-microsoft-com:asm.v1}assembly", "{urn:schemas-microsoft-com:asm.v3}application",
           "{urn:schemas-microsoft-com:asm.v3}windowsSettings",
           "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware"}
LEVEL = "an execution level ends the file virtualization a standard user's settings live in"
WHY = {"trustInfo": LEVEL, "requestedExecutionLevel": LEVEL,
       "dependency": "a dependency such as common controls 6 gives the dialogs today's look"}


def manifests(path):
    """The program's RT_MANIFEST (24) resources."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    directories = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112)
    table = optional + optional_size

    def offset(rva):
        for i in range(sections):
            size, address, _, raw = struct.unpack_from("<4I", data, table + 40 * i + 8)
            if address <= rva < address + max(size, 1):
                return raw + rva - address
        raise ValueError(f"{path}: RVA {rva:#x} lies in no section")

    root = offset(struct.unpack_from("<I", data, directories + 2 * 8)[0])

    def entries(directory):  # (id, offset of what it points to) of a resource directory
        named, ids = struct.unpack_from("<HH", data, root + directory + 12)
        return [struct.unpack_from("<II", data, root + directory + 16 + 8 * i) for i in range(named + ids)]

    found = []
    for kind, names in entries(0):
        for _, languages in entries(names & 0x7FFFFFFF) if kind == 24 else []:
            for _, leaf in entries(languages & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, root + leaf)
                found.append(data[offset(rva):offset(rva) + size])
    return found


def problems(path):
    """What is wrong with the program's manifest; nothing when it is right."""
    found = manifests(path)
    if len(found) != 1:
        return [f"{len(found)} manifests, not one"]
    wrong, aware = [], False
    for element in ElementTree.fromstring(found[0]).iter():
        local = element.tag.split("}")[-1]
        if element.tag not in ALLOWED:
            wrong.append(f"<{local}>: {WHY.get(local, 'the program does not need it')}")
        elif local == "dpiAware":
            aware = (element.text or "").strip() == "true"
    return wrong if aware else wrong + ["not <dpiAware>true</dpiAware>"]


def review(programs, refused):
    """Prints each program's review; whether each came out as it must."""
    ok = True
    for program in programs:
        try:
            wrong = problems(program)
        except (OSError, ValueError, struct.error, ElementTree.ParseError) as error:
            wrong, ok = [str(error)], False
        if refused:
            ok = ok and bool(wrong)
            print(f"app manifest: {program} " + (f"refused, as it must be: {'; '.join(wrong)}" if wrong
                                                 else "should have been refused, and was not"))
        else:
            ok = ok and not wrong
            print(f"app manifest: {program}: " + ("; ".join(wrong) or "system DPI aware, asking for nothing else"))
    return ok


def main(argv):
    if argv:
        return 0 if review([a for a in argv if a != "--refused"], "--refused" in argv) else 1
    trees = ["build/win32", "build/win64"]
    ok = review([f"{tree}/orvan97.exe" for tree in trees], False)
    ok = review([f"{tree}/refused_{what}.exe" for tree in trees for what in ("level", "cc6")], True) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
