#!/usr/bin/env python3
"""Zips files of the working folder in the order given, each with only its name, time and mode.

Every entry carries one time: SOURCE_DATE_EPOCH, or else the time of the source's last commit (a
checkout without git: each file's own). So the same files give the same bytes wherever and
whenever they are zipped: no access or creation time, no owner, and the mode only as executable
(755) or not (644).
Usage: zip.py [--source FOLDER] OUT.zip FILE...
"""
import os
import subprocess
import sys
import time
import zipfile


def LastCommitTime(source):
    try:
        answer = subprocess.run(["git", "-C", source, "log", "-1", "--format=%ct"],
                                capture_output=True, text=True, check=True)
        return answer.stdout.strip() or None
    except (OSError, subprocess.CalledProcessError):
        return None


def main():
    arguments = sys.argv[1:]
    source = None
    if arguments[:1] == ["--source"]:
        source, arguments = arguments[1], arguments[2:]
    out, names = arguments[0], arguments[1:]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if epoch is None and source is not None:
        epoch = LastCommitTime(source)
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
            with open(name, "rb") as data:
                archive.writestr(entry, data.read(), compresslevel=9)
    os.replace(temporary, out)


if __name__ == "__main__":
    main()
