#!/usr/bin/env python3
# Copies a C++ source with the non-ASCII characters of its narrow string and character literals
# written as code page 932 octal escapes, for compilers that cannot store texts in another
# character set than UTF-8 (clang, emscripten): the program then holds the same bytes as the
# Windows build. Comments, wide and UTF-8 literals (L"", u"", U"", u8"") stay as they are.
# Usage: cp932-literals.py SOURCE OUTPUT
#        cp932-literals.py --list SOURCE... (prints the sources that need a copy)
import os
import sys


def Escape(text):
    # Octal escapes take at most three digits, so a digit after one stays a character of its own.
    out = []
    for ch in text:
        if ord(ch) < 0x80:
            out.append(ch)
        else:
            out.extend("\\%03o" % b for b in ch.encode("cp932"))
    return "".join(out)


def Transcode(source):
    out = []
    i, n = 0, len(source)
    while i < n:
        c = source[i]
        if source.startswith("//", i):
            end = source.find("\n", i)
            end = n if end < 0 else end
            out.append(source[i:end])
            i = end
        elif source.startswith("/*", i):
            end = source.find("*/", i + 2)
            end = n if end < 0 else end + 2
            out.append(source[i:end])
            i = end
        elif c in "\"'":
            # The literal's prefix, if any, is the identifier characters just before it.
            j = i
            while j > 0 and (source[j - 1].isalnum() or source[j - 1] == "_"):
                j -= 1
            prefix = source[j:i]
            if c == "'" and prefix[:1].isdigit():
                # A digit separator (1'000), not a literal.
                out.append(c)
                i += 1
                continue
            if prefix.endswith("R") and c == '"':
                # A raw string: its delimiter ends it, and escapes mean nothing inside it.
                open_paren = source.index("(", i)
                delimiter = ")" + source[i + 1:open_paren] + '"'
                end = source.index(delimiter, open_paren) + len(delimiter)
                out.append(source[i:end])
                i = end
                continue
            end = i + 1
            while end < n and source[end] != c:
                end += 2 if source[end] == "\\" else 1
            end += 1
            literal = source[i:end]
            narrow = prefix in ("", "R") or not prefix[-1] in "LuU8"
            out.append(Escape(literal) if narrow else literal)
            i = end
        else:
            out.append(c)
            i += 1
    return "".join(out)


def main():
    if sys.argv[1] == "--list":
        for source in sys.argv[2:]:
            with open(source, encoding="utf-8") as f:
                text = f.read()
            if Transcode(text) != text:
                print(source)
        return
    source, output = sys.argv[1], sys.argv[2]
    with open(source, encoding="utf-8") as f:
        text = Transcode(f.read())
    os.makedirs(os.path.dirname(output), exist_ok=True)
    with open(output, "w", encoding="utf-8") as f:
        f.write('#line 1 "%s"\n' % source)
        f.write(text)


if __name__ == "__main__":
    main()
