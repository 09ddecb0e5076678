#!/usr/bin/env python3
"""Makes an MSI's summary information reproducible, in place.

wixl writes the time of the build (created, last saved) and a random
package code into the summary information stream. This sets both times to
the release's time (SOURCE_DATE_EPOCH) and the package code to a GUID
derived from the package's whole content with those times set, so the same
sources give the same bytes and a different package gets another code.

    msi_summary.py PACKAGE.msi EPOCH

Only values of the same size are replaced, so the compound file keeps its
layout: the stream is found through the file's allocation tables
([MS-CFB]) and its property set ([MS-OLEPS]) is patched where it stands.
"""
import hashlib
import struct
import sys
import uuid

SUMMARY = "\x05SummaryInformation"
PID_REVNUMBER = 9  # the package code
PID_CREATE_DTM = 12
PID_LASTSAVE_DTM = 13
VT_LPSTR = 30
VT_FILETIME = 64
END_OF_CHAIN = 0xFFFFFFFE
# Any fixed namespace: the package code is a name-based GUID inside it.
NAMESPACE = uuid.UUID("913b673d-0c7e-4733-8d7f-c0f1eb05a9a5")


class Error(Exception):
    pass


class CompoundFile:
    def __init__(self, data):
        self.data = data
        if data[:8] != bytes.fromhex("D0CF11E0A1B11AE1"):
            raise Error("not a compound file (no MSI)")
        self.sector = 1 << struct.unpack_from("<H", data, 0x1E)[0]
        self.mini = 1 << struct.unpack_from("<H", data, 0x20)[0]
        fat_sectors, self.dir_start = struct.unpack_from("<II", data, 0x2C)
        self.cutoff, minifat_start = struct.unpack_from("<II", data, 0x38)
        difat_start, difat_count = struct.unpack_from("<II", data, 0x44)
        difat = list(struct.unpack_from("<109I", data, 0x4C))
        next_difat = difat_start
        for _ in range(difat_count):
            entries = struct.unpack_from("<%dI" % (self.sector // 4), data, self.offset(next_difat))
            difat += entries[:-1]
            next_difat = entries[-1]
        self.fat = []
        for sector in difat[:fat_sectors]:
            self.fat += struct.unpack_from("<%dI" % (self.sector // 4), data, self.offset(sector))
        self.minifat = []
        for sector in self.chain(minifat_start):
            self.minifat += struct.unpack_from("<%dI" % (self.sector // 4), data, self.offset(sector))

    def offset(self, sector):
        return (sector + 1) * self.sector

    def chain(self, start):
        sectors = []
        while start != END_OF_CHAIN:
            if start >= len(self.fat) or len(sectors) > len(self.fat):
                raise Error("broken sector chain")
            sectors.append(start)
            start = self.fat[start]
        return sectors

    def entries(self):
        """(name, start sector, size) of each directory entry."""
        for sector in self.chain(self.dir_start):
            base = self.offset(sector)
            for at in range(base, base + self.sector, 128):
                length = struct.unpack_from("<H", self.data, at + 0x40)[0]
                name = self.data[at:at + max(length - 2, 0)].decode("utf-16-le")
                start, size = struct.unpack_from("<IQ", self.data, at + 0x74)
                if self.sector == 512:
                    size &= 0xFFFFFFFF
                yield name, start, size

    def spans(self, name):
        """The (file offset, length) pieces that hold the named stream."""
        entries = list(self.entries())
        found = [e for e in entries if e[0] == name]
        if not found:
            raise Error("no stream " + repr(name))
        _, start, size = found[0]
        if size >= self.cutoff:
            unit, sectors = self.sector, self.chain(start)
            places = [self.offset(s) for s in sectors]
        else:
            # In the mini stream, which the root entry's chain holds.
            root = [self.offset(s) for s in self.chain(entries[0][1])]
            unit, places, at = self.mini, [], start
            while at != END_OF_CHAIN:
                byte = at * self.mini
                places.append(root[byte // self.sector] + byte % self.sector)
                at = self.minifat[at]
        spans, left = [], size
        for place in places:
            spans.append((place, min(unit, left)))
            left -= unit
            if left <= 0:
                break
        return spans


def read_spans(data, spans):
    return b"".join(bytes(data[at:at + n]) for at, n in spans)


def write_spans(data, spans, stream):
    done = 0
    for at, n in spans:
        data[at:at + n] = stream[done:done + n]
        done += n


def properties(stream):
    """Offset of each property's value (its type first) in the stream."""
    if struct.unpack_from("<H", stream, 0)[0] != 0xFFFE:
        raise Error("the summary information is no property set")
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    found = {}
    for i in range(count):
        pid, at = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        found[pid] = section + at
    return found


def set_filetime(stream, at, epoch):
    if struct.unpack_from("<I", stream, at)[0] != VT_FILETIME:
        raise Error("a summary time that is no time")
    struct.pack_into("<Q", stream, at + 4, (epoch + 11644473600) * 10**7)


def set_guid(stream, at, guid):
    kind, length = struct.unpack_from("<II", stream, at)
    text = ("{%s}" % str(guid).upper()).encode("ascii") + b"\0"
    if kind != VT_LPSTR or length != len(text):
        raise Error("the package code is not a GUID of its usual size")
    stream[at + 8:at + 8 + length] = text


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: msi_summary.py PACKAGE.msi EPOCH")
    path, epoch = sys.argv[1], int(sys.argv[2])
    with open(path, "rb") as f:
        data = bytearray(f.read())
    try:
        spans = CompoundFile(data).spans(SUMMARY)
        stream = bytearray(read_spans(data, spans))
        found = properties(stream)
        for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM, PID_REVNUMBER):
            if pid not in found:
                raise Error("the summary information has no property %d" % pid)
        for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
            set_filetime(stream, found[pid], epoch)
        # The code is a digest of everything else: first a fixed one.
        set_guid(stream, found[PID_REVNUMBER], uuid.UUID(int=0))
        write_spans(data, spans, stream)
        code = uuid.uuid5(NAMESPACE, hashlib.sha256(data).hexdigest())
        set_guid(stream, found[PID_REVNUMBER], code)
        write_spans(data, spans, stream)
    except (Error, struct.error, IndexError, UnicodeDecodeError) as e:
        sys.exit("%s: %s" % (path, e))
    with open(path, "r+b") as f:
        f.write(data)
    print("%s: package code {%s}" % (path, str(code).upper()))


if __name__ == "__main__":
    main()
