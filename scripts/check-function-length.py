#!/usr/bin/env python3
"""Fails when a function defined at namespace scope under src/ runs over 60
lines, from the line that opens it to its closing brace."""
import pathlib
import re
import sys

LIMIT = 60
root = pathlib.Path(__file__).resolve().parent.parent / "src"
start = re.compile(r"^[A-Za-z_][^;]*\)\s*(const)?\s*(noexcept)?\s*(->[^{]*)?\{\s*$")
too_long = []
for path in sorted(root.rglob("*.cpp")) + sorted(root.rglob("*.h")):
    lines = path.read_text(encoding="utf-8", errors="replace").splitlines()
    i = 0
    while i < len(lines):
        # A definition may spread its head over several lines.
        head_end = i
        while head_end < len(lines) and head_end < i + 4 and not lines[head_end].rstrip().endswith(("{", ";")):
            head_end += 1
        head = " ".join(l.strip() for l in lines[i:head_end + 1])
        if lines[i][:1].isalpha() and head_end < len(lines) and start.match(head) and \
                not head.startswith(("namespace", "struct", "class", "enum", "extern", "union")):
            depth, j = 0, i
            while j < len(lines):
                depth += lines[j].count("{") - lines[j].count("}")
                if depth == 0 and j >= head_end:
                    break
                j += 1
            if j - i + 1 > LIMIT:
                too_long.append(f"{path.relative_to(root.parent)}:{i + 1}: {j - i + 1} lines")
            i = j + 1
            continue
        i += 1
for entry in too_long:
    print(entry)
sys.exit(1 if too_long else 0)
