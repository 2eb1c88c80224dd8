#!/usr/bin/env python3
"""Writes a zip archive whose bytes depend only on the names and contents of its entries and
on one given date, so that the same files give the same archive wherever and whenever it is
made: entries sorted by name, every entry stamped with that date, the same permissions
(a plain file, rw-r--r--) and the same compression for all, no extra fields.

usage: deterministic-zip.py OUT.zip EPOCH NAME=PATH...
  EPOCH  the date for every entry, in seconds since 1970 (UTC)
  NAME   the entry's name in the archive; PATH the file it holds
"""
import os
import sys
import time
import zipfile

# Zip dates start in 1980; an earlier date would not fit the format.
ZIP_EPOCH = 315532800


def main(argv):
    if len(argv) < 4 or any("=" not in pair for pair in argv[3:]):
        sys.exit(__doc__)
    out, epoch = argv[1], int(argv[2])
    # Zip stores local dates without a zone; the same UTC date for everyone keeps the bytes equal.
    date_time = time.gmtime(max(epoch, ZIP_EPOCH))[:6]
    entries = sorted(pair.split("=", 1) for pair in argv[3:])
    names = [name for name, _ in entries]
    if len(set(names)) != len(names):
        sys.exit(f"deterministic-zip: an entry name is given twice: {names}")

    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for name, path in entries:
            info = zipfile.ZipInfo(name, date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below are read as such
            info.external_attr = 0o100644 << 16
            with open(path, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)
    # Never a half-written archive under the real name.
    os.replace(partial, out)


if __name__ == "__main__":
    main(sys.argv)
