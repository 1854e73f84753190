#!/usr/bin/env python3
"""The sizes the layout aims at: the longest files and classes of the given
folders, and the share of test code.

    scripts/code_sizes.py [FOLDER ...]     (default: engine session)

A class's size is its definition's lines plus the lines of its member
functions defined outside it (Name::member(...) { ... }), found by brace
matching on the source with comments and literals blanked; good enough for
this tree's style, not a C++ parser.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def sources(folder):
    for base, _, names in os.walk(os.path.join(ROOT, folder)):
        for n in sorted(names):
            if n.endswith((".h", ".cpp")):
                yield os.path.join(base, n)


def blank(text):
    # Comments, strings and characters to blanks, keeping the line breaks.
    pattern = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'', re.S)
    return pattern.sub(lambda m: re.sub(r"[^\n]", " ", m.group(0)), text)


def block_end(text, open_at):
    depth = 0
    for i in range(open_at, len(text)):
        if text[i] == "{":
            depth += 1
        elif text[i] == "}":
            depth -= 1
            if depth == 0:
                return i
    return len(text) - 1


def lines_between(text, a, b):
    return text.count("\n", a, b) + 1


def class_sizes(paths):
    sizes = {}
    head = re.compile(r"\b(?:class|struct)\s+(\w+)\s*(?:final\s*)?(?::[^;{()]*)?\{")
    member = re.compile(r"\b(\w+)::~?\w+\s*\([^;{}]*\)[^;{}]*\{")
    for p in paths:
        text = blank(open(p, encoding="utf-8", errors="replace").read())
        for m in head.finditer(text):
            end = block_end(text, m.end() - 1)
            sizes[m.group(1)] = sizes.get(m.group(1), 0) + lines_between(text, m.start(), end)
        for m in member.finditer(text):
            if m.group(1) in ("std", "lorvant", "checked", "report", "nec", "cli"):
                continue
            end = block_end(text, m.end() - 1)
            sizes[m.group(1)] = sizes.get(m.group(1), 0) + lines_between(text, m.start(), end)
    return sizes


def count_lines(paths):
    return sum(open(p, encoding="utf-8", errors="replace").read().count("\n") for p in paths)


def main():
    folders = sys.argv[1:] or ["engine", "session"]
    for folder in folders:
        paths = list(sources(folder))
        longest = max(paths, key=lambda p: count_lines([p]))
        classes = class_sizes(paths)
        name = max(classes, key=classes.get)
        print(f"{folder}: longest file {os.path.relpath(longest, ROOT)} {count_lines([longest])} lines; "
              f"longest class {name} {classes[name]} lines")
    skip = ("tests", "bench", ".git")
    product = [p for f in sorted(os.listdir(ROOT))
               if os.path.isdir(os.path.join(ROOT, f)) and not f.startswith(skip + ("build",)) for p in sources(f)]
    tests = list(sources("tests"))
    n_product, n_tests = count_lines(product), count_lines(tests)
    print(f"test share: {n_tests} test lines / {n_product} product lines = {100 * n_tests / n_product:.1f} %")


if __name__ == "__main__":
    main()
