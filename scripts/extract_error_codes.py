#!/usr/bin/env python3
"""Re-extracts the codes and symbolic names of resources/error_codes.txt from
the MinGW-w64 headers (winerror.h for Win32 and HRESULT codes, ntstatus.h for
NTSTATUS codes), keeping the messages already written in the list.

Usage: scripts/extract_error_codes.py [--include DIR] [--list FILE]

Names of one code in one family (Win32, HRESULT, NTSTATUS) share a record and
are joined as alternatives; a code defined in several families gets one record
per family, Win32 first, then HRESULT, then NTSTATUS. Records are sorted by code.
"""
import argparse
import os
import re
import sys

WIN32, HRESULT, NTSTATUS = 0, 1, 2

# Helper macros of the headers that are not error codes: facility and
# severity numbers, range markers, masks and include guards.
EXCLUDED = re.compile(r"^(_|FACILITY_|SEVERITY_|STATUS_SEVERITY_)|_(FIRST|LAST|BASE|BEGIN|END)$")
EXCLUDED_NAMES = {"DNS_ERROR_MASK"}

DEFINE = re.compile(r"^\s*#\s*define\s+([A-Za-z_][A-Za-z0-9_]*)(\([^)]*\))?\s*(.*?)\s*$")
CASTS = re.compile(r"\(\s*(HRESULT|NTSTATUS|SCODE|DWORD|LONG|ULONG|unsigned\s+__LONG32|__LONG32)\s*\)")


def strip_comments(text):
    text = re.sub(r"/\*.*?\*/", " ", text, flags=re.S)
    return re.sub(r"//[^\n]*", "", text)


def read_defines(path):
    """Object-like macros of a header, in order: (name, body). Later
    definitions of a name (other #if branches) are ignored."""
    with open(path, encoding="latin-1") as f:
        text = strip_comments(f.read()).replace("\\\n", " ")
    defines, seen = [], set()
    for line in text.splitlines():
        m = DEFINE.match(line)
        if not m or m.group(2) is not None or not m.group(3):
            continue
        name, body = m.group(1), m.group(3)
        if name not in seen:
            seen.add(name)
            defines.append((name, body))
    return defines


class Evaluator:
    """Evaluates the integer value of a macro body, following other macros."""

    def __init__(self, defines):
        self.bodies = dict(defines)
        self.cache = {}

    def value(self, name, depth=0):
        if name in self.cache:
            return self.cache[name]
        if depth > 20 or name not in self.bodies:
            return None
        result = self.evaluate(self.bodies[name], depth + 1)
        self.cache[name] = result
        return result

    def hresult(self, name, depth=0):
        """Whether the macro is written as an HRESULT (typed or derived from one)."""
        body = self.bodies.get(name, "")
        if re.search(r"_HRESULT_TYPEDEF_|\(\s*HRESULT\s*\)|HRESULT_FROM_", body):
            return True
        alias = re.fullmatch(r"\(?\s*([A-Z_][A-Z0-9_]*)\s*\)?", body)
        return bool(alias and depth < 20 and self.hresult(alias.group(1), depth + 1))

    def evaluate(self, body, depth):
        expr = body
        expr = re.sub(r"_HRESULT_TYPEDEF_|__MSABI_LONG", "", expr)
        expr = CASTS.sub("", expr)
        # HRESULT_FROM_WIN32 of a positive Win32 code sets facility 7 and the error bit.
        m = re.fullmatch(r"\s*HRESULT_FROM_WIN32\s*\(\s*([A-Za-z0-9_]+)\s*\)\s*", expr)
        if m:
            inner = self.atom(m.group(1), depth)
            if inner is None:
                return None
            return inner if inner == 0 or inner >= 0x80000000 else (inner & 0xFFFF) | 0x80070000

        def replace(match):
            word = match.group(0)
            v = self.atom(word, depth)
            if v is None:
                raise ValueError(word)
            return str(v)

        try:
            expr = re.sub(r"\b(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*\b|\b[A-Za-z_][A-Za-z0-9_]*\b", replace, expr)
        except ValueError:
            return None
        if not re.fullmatch(r"[0-9()+|&<>\s-]*", expr) or not expr.strip():
            return None
        try:
            return eval(expr, {"__builtins__": {}}) & 0xFFFFFFFF  # digits and operators only
        except Exception:
            return None

    def atom(self, word, depth):
        m = re.fullmatch(r"(0[xX][0-9A-Fa-f]+|\d+)[uUlL]*", word)
        if m:
            return int(m.group(1), 0)
        return self.value(word, depth)


def extract(include_dir):
    """{(code, family): [names]} from both headers."""
    records = {}
    for header, is_nt in (("winerror.h", False), ("ntstatus.h", True)):
        defines = read_defines(os.path.join(include_dir, header))
        ev = Evaluator(defines)
        for name, _ in defines:
            if EXCLUDED.search(name) or name in EXCLUDED_NAMES:
                continue
            code = ev.value(name)
            if code is None:
                continue
            if is_nt:
                family = NTSTATUS
            elif ev.hresult(name) or code >= 0x10000:
                family = HRESULT
            else:
                family = WIN32
            names = records.setdefault((code, family), [])
            if name not in names:
                names.append(name)
    return records


def read_messages(path):
    """Messages of an existing list, by name: {name: message}."""
    messages = {}
    if not os.path.exists(path):
        return messages
    with open(path, encoding="latin-1") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) >= 3 and fields[2]:
                for name in fields[1].split(" | "):
                    messages.setdefault(name, fields[2])
    return messages


HEADER = """\
# The Windows error catalogue: one record a line, in catalogue order.
# Columns, separated by one tab: the code as 8 hexadecimal digits; its symbolic
# names, alternatives separated by " | "; the message (may be missing).
# Codes and names come from the MinGW-w64 headers winerror.h and ntstatus.h and
# are refreshed with scripts/extract_error_codes.py, which keeps the messages.
# A code defined as Win32, HRESULT and NTSTATUS value has one record for each.
# Messages are our own words. A message is sentences that each end in "."; the
# two characters \\n after a sentence start a new line.
"""


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--include", default="/usr/share/mingw-w64/include")
    here = os.path.dirname(os.path.abspath(__file__))
    parser.add_argument("--list", default=os.path.join(here, "..", "resources", "error_codes.txt"))
    args = parser.parse_args()

    records = extract(args.include)
    messages = read_messages(args.list)
    lines = []
    for (code, family) in sorted(records):
        names = records[(code, family)]
        message = next((messages[n] for n in names if n in messages), "")
        line = "%08X\t%s" % (code, " | ".join(names))
        lines.append(line + ("\t" + message if message else ""))
    with open(args.list, "w", encoding="latin-1", newline="\n") as f:
        f.write(HEADER)
        f.write("\n".join(lines) + "\n")
    print("%d records written to %s" % (len(lines), args.list), file=sys.stderr)


if __name__ == "__main__":
    main()
