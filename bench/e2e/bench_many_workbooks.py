#!/usr/bin/python3
"""Whole-program benchmark of memory over many workbooks: the built program
fills 20,000 workbooks from the sales example, and 100 workbooks from a
template that carries 1,000 untouched parts of a million zeros each (below
the size from which an entry's compression ratio is checked); prints the time
and peak memory of each against its target (the same run without the big
parts as baseline) and fails when a target is missed or a workbook is not
written."""
import os
import re
import sys
import tempfile
import zipfile
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from whole_program import run_program  # noqa: E402

EXAMPLES = Path("@CMAKE_SOURCE_DIR@/examples")
PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")


def make_data(path: Path, template: Path, workbooks: int) -> None:
    text = (EXAMPLES / "sales.xml").read_text(encoding="utf-8")
    text = re.sub(r"(<TEMPLATE[^>]*>)[^<]*", lambda m: m.group(1) + str(template), text)
    document = re.search(r"<workbook>.*?</workbook>", text, re.S).group(0)
    start, end = text.index(document), text.index(document) + len(document)
    path.write_text(text[:start] + document * workbooks + text[end:], encoding="utf-8")


def make_big_template(path: Path, parts: int) -> None:
    megabyte = bytes(1000000)
    with zipfile.ZipFile(EXAMPLES / "sales.xltx") as source, \
            zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as target:
        for item in source.infolist():
            target.writestr(item, source.read(item))
        for i in range(parts):
            target.writestr(f"xl/media/filler{i}.bin", megabyte)


def main() -> int:
    failed = False
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    with tempfile.TemporaryDirectory(prefix="bench-many-") as folder:
        folder = Path(folder)
        big = folder / "big.xltx"
        make_big_template(big, 1000)
        cases = [("sales example", EXAMPLES / "sales.xltx", 20_000, 1024),
                 ("1,000 parts of 1 MB", big, 100, 300),
                 ("baseline: sales example", EXAMPLES / "sales.xltx", 100, None)]
        for number, (label, template, workbooks, megabytes_target) in enumerate(cases):
            data = folder / f"data{number}.xml"
            make_data(data, template, workbooks)
            output = folder / f"out{number}"
            output.mkdir()
            figures = run_program(PROGRAM, data, output, ".xlsx", workbooks)
            seconds, megabytes = figures.wall, figures.megabytes
            ok = megabytes_target is None or megabytes < megabytes_target
            failed |= not ok
            target = f"(target {megabytes_target} MB) {'PASS' if ok else 'FAIL'}" if megabytes_target else ""
            print(f"{workbooks:>6} workbooks, {label}: {seconds:.2f} s, peak {megabytes:.0f} MB {target}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
