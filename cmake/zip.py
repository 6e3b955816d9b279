#!/usr/bin/env python3
"""Zips files of the working folder in the order given, each with only its name, time and mode.

With SOURCE_DATE_EPOCH set, every entry carries that time instead of its file's, so that the same
files give the same bytes wherever and whenever they are zipped: no access or creation time, no
owner, and the mode only as executable (755) or not (644).
Usage: zip.py OUT.zip FILE...
"""
import os
import sys
import time
import zipfile


def main():
    out, names = sys.argv[1], sys.argv[2:]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    temporary = out + ".new"
    with zipfile.ZipFile(temporary, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name in names:
            seconds = int(epoch) if epoch is not None else int(os.stat(name).st_mtime)
            # A zip's time has two-second steps and starts in 1980.
            stamp = time.gmtime(max(seconds, 315532800))[:6]
            entry = zipfile.ZipInfo(name, date_time=stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.create_system = 3  # Unix, so that the mode below is read
            mode = 0o755 if os.access(name, os.X_OK) else 0o644
            entry.external_attr = (0o100000 | mode) << 16
            with open(name, "rb") as source:
                archive.writestr(entry, source.read(), compresslevel=9)
    os.replace(temporary, out)


if __name__ == "__main__":
    main()
