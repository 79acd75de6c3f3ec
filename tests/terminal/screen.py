#!/usr/bin/env python3
"""Reads a tmux pane captured with `capture-pane -p -e` on stdin and answers questions about
one cell or a stretch of a row, so the terminal tests can check colours as well as text.

    screen.py text X Y LENGTH   -> the characters
    screen.py colour X Y        -> "FG BG" as terminal colour numbers ("default" if unset)
"""
import re
import sys

SGR = re.compile(r"\x1b\[([0-9;]*)m")


def parse(lines):
    rows = []
    fg, bg = "default", "default"
    for line in lines:
        cells = []
        pos = 0
        while pos < len(line):
            match = SGR.match(line, pos)
            if match:
                params = [int(p) if p else 0 for p in match.group(1).split(";")]
                i = 0
                while i < len(params):
                    p = params[i]
                    if p == 0:
                        fg, bg = "default", "default"
                    elif p in (38, 48) and i + 2 < len(params) and params[i + 1] == 5:
                        if p == 38:
                            fg = str(params[i + 2])
                        else:
                            bg = str(params[i + 2])
                        i += 2
                    elif 30 <= p <= 37:
                        fg = str(p - 30)
                    elif 90 <= p <= 97:
                        fg = str(p - 90 + 8)
                    elif 40 <= p <= 47:
                        bg = str(p - 40)
                    elif 100 <= p <= 107:
                        bg = str(p - 100 + 8)
                    elif p == 39:
                        fg = "default"
                    elif p == 49:
                        bg = "default"
                    i += 1
                pos = match.end()
                continue
            if line[pos] == "\x1b":  # another escape: skip it
                end = re.compile(r"\x1b\[[0-9;?]*[A-Za-z]").match(line, pos)
                pos = end.end() if end else pos + 1
                continue
            cells.append((line[pos], fg, bg))
            pos += 1
        rows.append(cells)
    return rows


def cell(rows, x, y):
    if y < len(rows) and x < len(rows[y]):
        return rows[y][x]
    return (" ", "default", "default")


def main():
    rows = parse(sys.stdin.read().split("\n"))
    command = sys.argv[1]
    x, y = int(sys.argv[2]), int(sys.argv[3])
    if command == "text":
        print("".join(cell(rows, x + i, y)[0] for i in range(int(sys.argv[4]))))
    elif command == "colour":
        _, fg, bg = cell(rows, x, y)
        print(fg, bg)


main()
