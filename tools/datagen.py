"""What the data generators share: write a data file, or only check that it is up to date;
and the game's own checker, brinewort-datacheck, for the game's tables and for judging
what was written."""
import json
import os
import pathlib
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent


def write_or_check(path, content: bytes, check: bool) -> bool:
    """Writes content as the file at path; with check, writes nothing and compares instead.
    Returns whether the file holds exactly content (a missing file does not)."""
    path = pathlib.Path(path)
    if check:
        try:
            return path.read_bytes() == content
        except OSError:
            return False
    path.write_bytes(content)
    return True


def add_datacheck_option(parser):
    parser.add_argument("--datacheck", metavar="PATH",
                        help="the built brinewort-datacheck (default: $BRINEWORT_DATACHECK, "
                             "else build/brinewort-datacheck)")


def find_datacheck(given):
    """The checker's path: given, else $BRINEWORT_DATACHECK, else build/ of the repository.
    Ends the generator with a clear message when it is not there."""
    path = given or os.environ.get("BRINEWORT_DATACHECK") or ROOT / "build" / "brinewort-datacheck"
    if not os.access(path, os.X_OK):
        sys.exit(f"{path}: no brinewort-datacheck there; build it (cmake --build build) or "
                 f"name it with --datacheck PATH or BRINEWORT_DATACHECK")
    return str(path)


def game_facts(checker):
    """The game's tables, as brinewort-datacheck --facts prints them."""
    done = subprocess.run([checker, "--facts"], capture_output=True, text=True)
    if done.returncode != 0:
        sys.exit(f"{checker} --facts failed: {done.stderr.strip()}")
    return json.loads(done.stdout)


def judge(checker, data_dir, route=False):
    """Runs the checker on a data directory and prints its report (the route through the
    game too, with route). True when it finds neither a problem nor a warning: the shipped
    data has none."""
    done = subprocess.run([checker, str(data_dir)], capture_output=True, text=True)
    report = done.stdout.splitlines(keepends=True)
    print("".join(line for line in report if route or not line.startswith("route: ")), end="")
    print(done.stderr, end="", file=sys.stderr)
    return done.returncode == 0 and "\nwarning: " not in "\n" + done.stdout
