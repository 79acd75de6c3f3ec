#!/usr/bin/env python3
"""Check that sections of a tagged text file fit on screen.

A tagged text file holds sections: a line that is exactly the tag, followed
by the section text, which runs up to (not including) the first underscore.

For every section named on the command line this script:
  * checks that the tag line exists,
  * checks that the text is at most 999 characters long,
  * checks that the text uses only printable ASCII (32..126) and line feeds,
  * simulates the game's typewriter word wrapping at the given width and
    checks that the text stays within the allowed rows.

It prints the length and occupied rows of each section and exits with a
non-zero status if any check fails.

Example:
  python3 tools/check_text_layout.py data/Story.txt --width 60 \
      --first-row 2 --last-row 23 Chunk1 Chunk2 Chunk3 Chunk4
"""
import argparse
import sys

MAX_LEN = 999


def extract(data, tag):
    """Return the text of section `tag` (bytes), or None if there is none."""
    pos = 0
    for line in data.split(b"\n"):
        start = pos + len(line) + 1
        pos = start
        if line == tag:
            end = data.find(b"_", start)
            return data[start:] if end < 0 else data[start:end]
    return None


def wrap_rows(text, width):
    """Simulate the typewriter wrapping; return the number of rows used."""
    col, row, last_row = 0, 0, -1
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c == " ":
            j = i + 1
            while j < n and text[j] != " ":
                j += 1
            if col + (j - i - 1) >= width:
                row, col = row + 1, 0
                i += 1
                continue
        last_row = row
        col += 1
        if col >= width:
            if i + 1 < n and text[i + 1] == " ":
                i += 1
            row, col = row + 1, 0
        i += 1
    return last_row + 1


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("file")
    ap.add_argument("tags", nargs="+")
    ap.add_argument("--width", type=int, required=True)
    ap.add_argument("--first-row", type=int, required=True)
    ap.add_argument("--last-row", type=int, required=True)
    args = ap.parse_args()

    with open(args.file, "rb") as f:
        data = f.read()
    allowed_rows = args.last_row - args.first_row + 1
    ok = True
    for tag in args.tags:
        raw = extract(data, tag.encode("ascii"))
        if raw is None:
            print(f"{tag}: MISSING")
            ok = False
            continue
        problems = []
        bad = sorted({b for b in raw if not (32 <= b <= 126 or b == 10)})
        if bad:
            problems.append("bad bytes " + ", ".join(str(b) for b in bad))
        if len(raw) > MAX_LEN:
            problems.append(f"longer than {MAX_LEN}")
        rows = wrap_rows(raw.decode("latin-1"), args.width)
        last = args.first_row + rows - 1
        if rows > allowed_rows:
            problems.append(f"needs {rows} rows, only {allowed_rows} allowed")
        status = "FAIL: " + "; ".join(problems) if problems else "ok"
        print(f"{tag}: {len(raw)} chars, {rows} rows "
              f"(rows {args.first_row}..{last}) {status}")
        ok = ok and not problems
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
