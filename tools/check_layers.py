#!/usr/bin/env python3
"""Checks that the folders of src/ are layers: a file includes headers of its own folder and of
the layers below it, never of its own layer's other folders or of a layer above. The layers are
those drawn in docs/ARCHITECTURE.md between the lines "layers:" and "end of layers" (the top
first, the folders of a layer on one line), so the drawing and the code cannot drift apart.

Usage: python3 tools/check_layers.py [repository root]   exit status 1 on any wrong include
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/')


def read_layers():
    """[{folder, ...}, ...] from the top layer down, as the architecture notes draw them."""
    text = (ROOT / "docs" / "ARCHITECTURE.md").read_text()
    block = re.search(r"^layers:\n(.*?)^end of layers", text, re.S | re.M)
    if block is None:
        sys.exit("docs/ARCHITECTURE.md: no block from 'layers:' to 'end of layers'")
    layers = []
    for line in block.group(1).splitlines():
        folders = line.split("#", 1)[0].split()
        if folders:
            layers.append(set(folders))
    return layers


def main():
    layers = read_layers()
    depth = {folder: index for index, layer in enumerate(layers) for folder in layer}
    folders = {path.name for path in (ROOT / "src").iterdir() if path.is_dir()}
    wrong = [f"src/{name}/ is in no layer of docs/ARCHITECTURE.md"
             for name in sorted(folders - depth.keys())]
    for path in sorted((ROOT / "src").rglob("*")):
        if path.suffix not in (".cpp", ".h") or path.parent.parent != ROOT / "src":
            continue
        own = path.parent.name
        for number, line in enumerate(path.read_text(errors="replace").splitlines(), 1):
            match = INCLUDE.match(line)
            if match is None or match.group(1) == own or own not in depth:
                continue
            other = match.group(1)
            where = f"{path.relative_to(ROOT)}:{number}: includes {other}/"
            if other not in depth:
                wrong.append(f"{where}, which is in no layer")
            elif depth[other] == depth[own]:
                wrong.append(f"{where}, a folder of its own layer")
            elif depth[other] < depth[own]:
                wrong.append(f"{where}, a layer above {own}/")
    for line in wrong:
        print(line)
    print(f"check_layers: {len(folders)} folders in {len(layers)} layers, "
          f"{'no wrong include' if not wrong else str(len(wrong)) + ' wrong includes'}")
    return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
