#!/usr/bin/env python3
"""Prints the colours of one cell of a tmux pane (`capture-pane -p -e` on stdin) as "FG BG",
terminal colour numbers or "default".   Usage: screen.py X Y"""
import re
import sys

TOKEN = re.compile(r"\x1b\[([0-9;]*)m|\x1b\[[0-9;?]*[A-Za-z]|(.)", re.S)


def colours_at(lines, x, y):
    fg, bg = "default", "default"
    for row, line in enumerate(lines):
        column = 0
        for match in TOKEN.finditer(line):
            if match.group(2) is not None:  # a character
                if (row, column) == (y, x):
                    return fg, bg
                column += 1
            elif match.group(1) is not None:  # colours
                params = [int(p or 0) for p in match.group(1).split(";")]
                while params:
                    p = params.pop(0)
                    if p == 0:
                        fg, bg = "default", "default"
                    elif p in (38, 48) and params[:1] == [5]:
                        value = str(params[1])
                        params = params[2:]
                        fg, bg = (value, bg) if p == 38 else (fg, value)
                    elif 30 <= p <= 37 or 90 <= p <= 97:
                        fg = str(p - 30 if p < 90 else p - 82)
                    elif 40 <= p <= 47 or 100 <= p <= 107:
                        bg = str(p - 40 if p < 100 else p - 92)
    return fg, bg


print(*colours_at(sys.stdin.read().split("\n"), int(sys.argv[1]), int(sys.argv[2])))
