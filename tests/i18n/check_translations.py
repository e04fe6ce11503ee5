#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when a text the user sees is not in the English catalogues.

For each folder of src/ the folder's texts are extracted again by scripts/update-translations
into a copy of its catalogue; then
  - every message of the copy must have a finished English translation, and
  - every string literal in the folder that holds Chinese must be part of a text the catalogue
    knows, unless the line (or the one above) says "not translated" in a comment, or the file
    begins with "Texts in this file: not translated": texts that files, peers and scripts read
    stay as they are whatever the language.
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

CJK = re.compile(r"[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]")


def raw_prefix(text, i):
    """True where R" at i opens a raw string (alone, or after u8, u, U or L)."""
    before = text[max(0, i - 3):i]
    ident = lambda ch: ch.isalnum() or ch == "_"
    for prefix in ("u8", "u", "U", "L", ""):
        if before.endswith(prefix):
            at = len(before) - len(prefix) - 1
            if at < 0 or not ident(before[at]):
                return True
    return False


def literals(text):
    """(line, literal value, comment texts on that line) for each string literal."""
    out, comments = [], {}
    i, line, n = 0, 1, len(text)
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif text.startswith("//", i):
            end = text.find("\n", i)
            end = n if end < 0 else end
            comments.setdefault(line, []).append(text[i:end])
            i = end
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            comments.setdefault(line, []).append(text[i:end])
            line += text.count("\n", i, end)
            i = end
        elif text.startswith('R"', i) and raw_prefix(text, i):
            delim_end = text.find("(", i + 2)
            delim = text[i + 2:delim_end]
            end = text.find(")" + delim + '"', delim_end)
            value = text[delim_end + 1:end]
            out.append((line, value))
            line += value.count("\n")
            i = end + len(delim) + 2
        elif c == "'" and i and text[i - 1].isalnum() and text[i + 1:i + 2].isalnum():
            i += 1  # a digit separator (1'000)
        elif c == '"' or c == "'":
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == "\\" else 1
            if c == '"':
                out.append((line, text[i + 1:j]))
            i = j + 1
        else:
            i += 1
    return out, comments


def unescape(value):
    return value.replace('\\"', '"').replace("\\n", "\n").replace("\\t", "\t").replace("\\\\", "\\")


def main(root):
    failures = []
    work = tempfile.mkdtemp(prefix="vantor-ts-")
    try:
        for kept in os.listdir(os.path.join(root, "translations")):
            if kept.endswith("_en.ts"):
                shutil.copy(os.path.join(root, "translations", kept), work)
        subprocess.run([os.path.join(root, "scripts", "update-translations"), work], check=True)
        for name in sorted(os.listdir(os.path.join(root, "src"))):
            folder = os.path.join(root, "src", name)
            if not os.path.isdir(folder):
                continue
            copy = os.path.join(work, f"vantor_{name}_en.ts")
            sources = []
            for context in ET.parse(copy).getroot().iter("context"):
                cname = context.findtext("name")
                for message in context.iter("message"):
                    source = message.findtext("source") or ""
                    sources.append(source)
                    tr = message.find("translation")
                    forms = [f.text for f in tr.iter("numerusform")] or [tr.text]
                    if tr.get("type") == "unfinished" or not all(f and f.strip() for f in forms):
                        failures.append(f"{name}: not translated: [{cname}] {source!r}")
            known = "\x00".join(sources)
            for dirpath, _, files in os.walk(folder):
                for file in sorted(files):
                    if not file.endswith((".cpp", ".h")):
                        continue
                    path = os.path.join(dirpath, file)
                    with open(path, encoding="utf-8") as f:
                        text = f.read()
                    # A file of keys and fixed forms only says so once, at its head.
                    if "Texts in this file: not translated" in "".join(text.splitlines(True)[:5]):
                        continue
                    found, comments = literals(text)
                    for line, value in found:
                        if not CJK.search(value):
                            continue
                        said = " ".join(comments.get(line, []) + comments.get(line - 1, []))
                        if "not translated" in said or unescape(value) in known:
                            continue
                        rel = os.path.relpath(path, root)
                        failures.append(f"{rel}:{line}: a text outside the catalogue: \"{value}\"")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print(failure)
    if failures:
        print(f"{len(failures)} texts without an English translation "
              "(wrap them in tr(), run scripts/update-translations, translate the catalogue)")
        return 1
    print("every text has its English translation")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "..")))
