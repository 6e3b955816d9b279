#!/usr/bin/env python3
"""Writes every character the game can draw: printable ASCII, and each character outside ASCII
in the game's sources and its ending text (the texts it draws stand there, in UTF-8).
Usage: characters.py SOURCE_FOLDER OUTPUT"""
import pathlib
import sys

root = pathlib.Path(sys.argv[1])
characters = {chr(c) for c in range(0x20, 0x7F)}
files = [root / "data" / "ending.txt"]
for folder in ("app", "game", "graphics", "core", "sound", "archive"):
    files += sorted((root / folder).glob("*.cpp")) + sorted((root / folder).glob("*.h"))
for path in files:
    characters |= {c for c in path.read_text(encoding="utf-8") if ord(c) > 0x7F}
pathlib.Path(sys.argv[2]).write_text("".join(sorted(characters)), encoding="utf-8")
