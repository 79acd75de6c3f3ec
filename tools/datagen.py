"""What the data generators share: write a data file, or only check that it is up to date."""
import pathlib


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
