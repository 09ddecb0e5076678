#!/usr/bin/env python3
"""The application manifest of the shipped program, read from its resources.

It must hold what the program needs and nothing more: system DPI awareness
(dpiAware true). An execution level (trustInfo, requestedExecutionLevel)
would end the file virtualization a standard user's settings live in, and
common controls 6 would give the dialogs today's look. Reviews the 32-bit
program and the 64-bit build (or the programs named); with --refused, each
program named must be refused, as the two built only to carry a manifest
the review must turn away are.
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_MANIFEST = 24
ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
SETTINGS = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
# Every element the manifest may hold, and the text of the one with text.
ALLOWED = {f"{{{ASM_V1}}}assembly", f"{{{ASM_V3}}}application", f"{{{ASM_V3}}}windowsSettings",
           f"{{{SETTINGS}}}dpiAware"}
WHY = {
    "trustInfo": "an execution level ends the file virtualization a standard user's settings live in",
    "requestedExecutionLevel": "an execution level ends the file virtualization a standard user's settings live in",
    "requestedPrivileges": "an execution level ends the file virtualization a standard user's settings live in",
    "dependency": "a dependency such as common controls 6 gives the dialogs today's look",
    "dependentAssembly": "a dependency such as common controls 6 gives the dialogs today's look",
}


def manifests(path):
    """The RT_MANIFEST resources of a Windows program, as bytes."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a Windows program")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size

    def offset(rva):
        for i in range(sections):
            size, address, _, raw = struct.unpack_from("<4I", data, table + 40 * i + 8)
            if address <= rva < address + max(size, 1):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    if not resource_rva:
        return []
    root = offset(resource_rva)

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, root + directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, root + directory + 16 + 8 * i)
            yield name, target

    found = []
    for kind, types in entries(0):
        if kind != RT_MANIFEST or not types & 0x80000000:
            continue
        for _, names in entries(types & 0x7FFFFFFF):
            for _, language in entries(names & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, root + (language & 0x7FFFFFFF))
                found.append(data[offset(rva):offset(rva) + size])
    return found


def problems(path):
    """What is wrong with the program's manifest; nothing when it is right."""
    found = manifests(path)
    if len(found) != 1:
        return [f"{len(found)} manifests, not one"]
    try:
        root = ElementTree.fromstring(found[0])
    except ElementTree.ParseError as error:
        return [f"the manifest is no XML: {error}"]
    wrong = []
    for element in root.iter():
        if element.tag not in ALLOWED:
            local = element.tag.split("}")[-1]
            wrong.append(f"<{local}>: " + WHY.get(local, "the program does not need it"))
        elif element.tag.endswith("dpiAware") and (element.text or "").strip().lower() != "true":
            wrong.append(f"<dpiAware> says {element.text!r}, not true")
    if not any(e.tag == f"{{{SETTINGS}}}dpiAware" for e in root.iter()):
        wrong.append("no <dpiAware>true</dpiAware>")
    text = found[0].decode("utf-8", "replace")
    if "Common-Controls" in text:
        wrong.append("common controls 6 give the dialogs today's look")
    return wrong


def review(programs, refused):
    """Prints the review of each program; whether every one came out as it must."""
    failed = False
    for program in programs:
        try:
            wrong = problems(program)
        except (OSError, ValueError, struct.error) as error:
            wrong, failed = [str(error)], True
        if refused and wrong:
            print(f"app manifest: {program} refused, as it must be: {'; '.join(wrong)}")
        elif refused:
            print(f"app manifest: {program} should have been refused, and was not", file=sys.stderr)
            failed = True
        elif wrong:
            print(f"app manifest: {program}: {'; '.join(wrong)}", file=sys.stderr)
            failed = True
        else:
            print(f"app manifest: {program} is system DPI aware and asks for nothing else")
    return not failed


def main(argv):
    if argv:
        return 0 if review([a for a in argv if a != "--refused"], "--refused" in argv) else 1
    trees = ["build/win32", "build/win64"]
    ok = review([f"{tree}/orvan97.exe" for tree in trees], False)
    # The review turns away what it must: programs that ask for an execution
    # level or common controls 6, else it would pass them in the program too.
    ok = review([f"{tree}/refused_{what}.exe" for tree in trees for what in ("level", "cc6")], True) and ok
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
