#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets into FOLDER/<target>: the kept
corpus, the examples' data files, and every sample template turned into a
part list (one line "== <name>" before each part's bytes)."""
import shutil
import sys
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
SOURCES = [ROOT / "examples", ROOT.parent / "shared" / "samples", ROOT.parent / "shared" / "examples"]
KINDS = {".xlsx": "spreadsheet", ".xltx": "spreadsheet", ".xlsm": "spreadsheet",
         ".docx": "wordprocessor", ".dotx": "wordprocessor", ".dotm": "wordprocessor"}


def part_list(path: Path) -> bytes:
    out = b""
    with zipfile.ZipFile(path) as archive:
        for item in archive.infolist():
            if not item.is_dir():
                out += b"== " + item.filename.encode() + b"\n" + archive.read(item) + b"\n"
    return out


def main() -> int:
    target = Path(sys.argv[1])
    for kind in ("datafile", "spreadsheet", "wordprocessor"):
        (target / kind).mkdir(parents=True, exist_ok=True)
        for kept in (ROOT / "fuzz" / "corpus" / kind).iterdir():
            shutil.copyfile(kept, target / kind / kept.name)
    for folder in SOURCES:
        for path in sorted(folder.glob("*")) if folder.is_dir() else []:
            if path.suffix == ".xml":
                shutil.copyfile(path, target / "datafile" / path.name)
            elif path.suffix in KINDS:
                (target / KINDS[path.suffix] / (path.name + ".parts")).write_bytes(part_list(path))
    return 0


if __name__ == "__main__":
    sys.exit(main())
