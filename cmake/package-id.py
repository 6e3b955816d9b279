#!/usr/bin/env python3
"""Gives the page's data package the same id on every build of the same data.

emscripten's file packager stamps the package it writes into the program's JavaScript with a
random UUID (its key in the browser's cache of packages, which this page does not use); this
replaces it with one made from the SHA-256 of the data itself.
Usage: package-id.py PROGRAM.js PACKAGE.data
"""
import hashlib
import re
import sys
import uuid


def main():
    script, package = sys.argv[1], sys.argv[2]
    with open(package, "rb") as data:
        digest = hashlib.sha256(data.read()).digest()
    stable = str(uuid.UUID(bytes=digest[:16], version=4))
    with open(script, encoding="utf-8") as source:
        text = source.read()
    text, count = re.subn(r'"package_uuid":\s*"[0-9a-f-]{36}"', f'"package_uuid":"{stable}"', text)
    if count != 1:
        sys.exit(f"package-id: {script} holds {count} package ids, not one")
    with open(script, "w", encoding="utf-8") as out:
        out.write(text)


if __name__ == "__main__":
    main()
