#!/usr/bin/env python3
"""Builds the error catalogue's four tables (word dictionary, word starts,
records, record table) from resources/error_codes.txt as a C++ source file.

Usage: gen_error_catalogue.py LIST OUTPUT [--stats]

Every record is decoded again with the program's rules and compared with the
list, so a list line the token format cannot express fails the build here,
with its line number, instead of showing wrong text in the program.
"""
import argparse
import os
import sys

MAX_WORDS = 0x1E * 256  # a WordRef's first byte stays below 0x1E
BAR, PERIOD, COMMA, UNDERSCORE = 0x7C, 0x2E, 0x2C, 0x5F
UPPER, CAPITAL, LINE_END, END = 0xFC, 0xFD, 0xFE, 0xFF


class ListError(Exception):
    pass


def read_list(path):
    """[(line number, code, [names], message)] in file order."""
    entries = []
    with open(path, encoding="latin-1") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\r\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) not in (2, 3):
                raise ListError("%s:%d: expected code, names and an optional message separated by tabs"
                                % (path, number))
            try:
                code = int(fields[0], 16)
            except ValueError:
                code = -1
            if len(fields[0]) != 8 or not 0 <= code <= 0xFFFFFFFF:
                raise ListError("%s:%d: the code must be 8 hexadecimal digits" % (path, number))
            names = fields[1].split(" | ")
            if not all(names):
                raise ListError("%s:%d: empty symbolic name" % (path, number))
            entries.append((number, code, names, fields[2] if len(fields) == 3 else ""))
    if not entries:
        raise ListError("%s: no records" % path)
    return entries


def name_parts(name):
    """A name as (literal underscores before, word) pairs plus trailing underscores."""
    parts, i = [], 0
    while i < len(name):
        j = i
        while j < len(name) and name[j] == "_":
            j += 1
        k = j
        while k < len(name) and name[k] != "_":
            k += 1
        if k > j:
            parts.append((j - i, name[j:k]))
        else:
            parts.append((j - i, None))
        i = k
    return parts


def message_tokens(message):
    """A message as a list of ("word", text, case) and punctuation bytes, the
    last period left out (the decoder adds it at the terminator)."""
    if not message:
        return []
    if not message.endswith("."):
        raise ListError("a message must end with a period")
    lines = message.split("\\n")
    tokens = []
    for li, line in enumerate(lines):
        chunks = line.split(" ")
        if li + 1 < len(lines) and not line.endswith("."):
            raise ListError("a line break must follow a period")
        for ci, chunk in enumerate(chunks):
            if not chunk:
                raise ListError("empty word (a double space or a space at a line's edge)")
            trail = []
            if chunk.endswith(".") and len(chunk) > 1:
                chunk, trail = chunk[:-1], [PERIOD]
            elif chunk.endswith(",") and len(chunk) > 1:
                chunk, trail = chunk[:-1], [COMMA]
            for pi, part in enumerate(chunk.split("_")):
                if pi:
                    tokens.append(UNDERSCORE)
                if not part:
                    raise ListError("an underscore must stand between two words")
                tokens.append(("word", part))
            if trail and ci + 1 == len(chunks):
                tokens.append(LINE_END if li + 1 < len(lines) else None)
            else:
                tokens.extend(trail)
    if tokens[-1] is not None:
        raise ListError("a message must end with a period")
    return tokens[:-1]


def case_token(word, mode):
    """The case token a word needs in the current case mode (None for none);
    raises when no case mode yields the word."""
    lower = word.lower()
    if mode == "capitalise" and word == lower[:1].upper() + lower[1:]:
        return None
    if mode == "stored" and word == lower:
        return None
    if word == lower[:1].upper() + lower[1:]:
        return CAPITAL
    if word == lower.upper():
        return UPPER
    raise ListError("the word %r has a case the format cannot express" % word)


class Builder:
    def __init__(self, entries):
        words = set()
        for number, _, names, message in entries:
            for name in names:
                words.update(w.lower() for _, w in name_parts(name) if w)
            try:
                tokens = message_tokens(message)
            except ListError as e:
                raise ListError("line %d: %s" % (number, e))
            words.update(t[1].lower() for t in tokens if isinstance(t, tuple))
        self.words = sorted(words)
        if len(self.words) > MAX_WORDS:
            raise ListError("the list needs %d words; the format addresses at most %d"
                            % (len(self.words), MAX_WORDS))
        self.index = {w: i for i, w in enumerate(self.words)}

    def ref(self, word):
        i = self.index[word.lower()]
        return [i >> 8, i & 0xFF]

    def names(self, names):
        out = []
        for n, name in enumerate(names):
            if n:
                out.append(BAR)
            seen_word = False
            for underscores, word in name_parts(name):
                # After a word the decoder writes one "_" by itself.
                literal = underscores - 1 if seen_word and word else underscores
                out.extend([UNDERSCORE] * literal)
                if word:
                    out.extend(self.ref(word))
                    seen_word = True
        return out

    def message(self, message):
        out, mode = [], "capitalise"
        for t in message_tokens(message):
            if isinstance(t, tuple):
                token = case_token(t[1], mode)
                if token is not None:
                    out.append(token)
                out.extend(self.ref(t[1]))
                mode = "stored"
            else:
                out.append(t)
                if t in (PERIOD, LINE_END):
                    mode = "capitalise"
        return out

    def word(self, data, i):
        index = data[i] * 256 + data[i + 1]
        return self.words[index]


def decode_names(builder, data):
    out, after_word, i = [], False, 0
    while data[i] != END:
        if data[i] < 0x1E:
            if after_word:
                out.append("_")
            out.append(builder.word(data, i).upper())
            after_word, i = True, i + 2
            continue
        if data[i] == BAR:
            out.append(" | ")
            after_word = False
        else:
            out.append(chr(data[i]))
        i += 1
    return "".join(out), i + 1


def decode_message(builder, data):
    out, space, mode, i = [], False, "capitalise", 0
    while data[i] != END:
        b = data[i]
        if b < 0x1E:
            w = builder.word(data, i)
            if space:
                out.append(" ")
            if mode == "capitalise":
                w = w[:1].upper() + w[1:]
            elif mode == "upper":
                w = w.upper()
            out.append(w)
            space, mode, i = True, "stored", i + 2
            continue
        if b == CAPITAL:
            mode = "capitalise"
        elif b == UPPER:
            mode = "upper"
        elif b == PERIOD:
            out.append(".")
            mode, space = "capitalise", True
        elif b in (COMMA, 0x7D):
            out.append(chr(b))
            space = True
        elif b in (0x7B, UNDERSCORE):
            out.append(chr(b))
            space = False
        elif b == LINE_END:
            out.append(".\\n")
            mode, space = "capitalise", False
        else:
            if space:
                out.append(" ")
            out.append(chr(b))
            space = True
        i += 1
    return "".join(out) + "."


def build(entries):
    builder = Builder(entries)
    records, table = bytearray(), []
    for number, code, names, message in entries:
        try:
            name_stream = builder.names(names)
            message_stream = builder.message(message)
        except ListError as e:
            raise ListError("line %d: %s" % (number, e))
        record = bytes(code.to_bytes(4, "little")) + bytes(name_stream) + b"\xff" + \
            bytes(message_stream) + b"\xff"
        decoded_names, used = decode_names(builder, record[4:])
        decoded_message = decode_message(builder, record[4 + used:]) if message_stream else ""
        wanted_names = " | ".join(names).upper()
        if decoded_names != wanted_names or decoded_message != message:
            raise ListError("line %d: the record would read back as %r / %r"
                            % (number, decoded_names, decoded_message))
        table.append(len(records))
        records += record
    dictionary = "".join(builder.words).encode("latin-1")
    starts, position = [], 0
    for w in builder.words:
        starts.append(position)
        position += len(w.encode("latin-1"))
    starts.append(position)
    table.append(len(records))
    return dictionary, starts, bytes(records), table


def literal(data, indent="    ", width=96):
    """A C++ string literal of the bytes, in lines; escapes are always three
    octal digits, so a following digit can never extend them."""
    lines, line = [], ""
    for b in data:
        c = chr(b)
        piece = c if 0x20 <= b < 0x7F and c not in "\"\\?" else "\\%03o" % b
        if len(line) + len(piece) > width:
            lines.append(indent + '"' + line + '"')
            line = ""
        line += piece
    lines.append(indent + '"' + line + '"')
    return "\n".join(lines)


def numbers(values, indent="    ", per_line=10):
    rows = []
    for i in range(0, len(values), per_line):
        rows.append(indent + ", ".join(str(v) for v in values[i:i + per_line]) + ",")
    return "\n".join(rows)


def write_source(path, dictionary, starts, records, table):
    # Written beside the target and renamed, so a failed run leaves no half file.
    temporary = path + ".tmp"
    with open(temporary, "w", encoding="ascii", newline="\n") as f:
        f.write("// Generated from resources/error_codes.txt by scripts/gen_error_catalogue.py.\n")
        f.write("#include \"tools/error_catalogue.h\"\n\nnamespace stx {\n\nnamespace {\n\n")
        f.write("const unsigned char kDictionary[] =\n%s;\n\n" % literal(dictionary))
        f.write("const std::uint32_t kWordStarts[] = {\n%s\n};\n\n" % numbers(starts))
        f.write("const unsigned char kRecords[] =\n%s;\n\n" % literal(records))
        f.write("const std::uint32_t kRecordTable[] = {\n%s\n};\n\n" % numbers(table))
        f.write("} // namespace\n\n")
        f.write("const ErrorCatalog& BuiltInErrorCatalog() {\n")
        f.write("    // The string literals' terminating NULs are not part of the tables.\n")
        f.write("    static const ErrorCatalog catalog{\n")
        f.write("        {kDictionary, sizeof kDictionary - 1}, kWordStarts,\n")
        f.write("        {kRecords, sizeof kRecords - 1}, kRecordTable};\n")
        f.write("    return catalog;\n}\n\n} // namespace stx\n")
    os.replace(temporary, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("list")
    parser.add_argument("output")
    parser.add_argument("--stats", action="store_true", help="print the table sizes")
    args = parser.parse_args()
    try:
        entries = read_list(args.list)
        dictionary, starts, records, table = build(entries)
    except ListError as e:
        print("error catalogue: %s" % e, file=sys.stderr)
        return 1
    write_source(args.output, dictionary, starts, records, table)
    if args.stats:
        longest = max(table[i + 1] - table[i] for i in range(len(table) - 1))
        empty = sum(1 for e in entries if not e[3])
        print("records %d (%d with an empty message), words %d, dictionary bytes %d, "
              "word starts %d bytes, stream bytes %d (%.1f KB), longest record %d bytes"
              % (len(entries), empty, len(starts) - 1, len(dictionary), 4 * len(starts),
                 len(records) - 4 * len(entries), (len(records) - 4 * len(entries)) / 1024, longest))
    return 0


if __name__ == "__main__":
    sys.exit(main())
