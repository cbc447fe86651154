#!/usr/bin/python3
"""Whole-program benchmark of the word processor's memory over many
documents: the built program fills 2,000 invoices of 100 rows each, and 100
documents from a template that carries 1,000 untouched parts of a million
zeros each; prints the time and peak memory of each, the first as memory per
document above a run of 100 invoices, and fails when a target is missed or a
document is not written."""
import os
import sys
import tempfile
import zipfile
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from invoice_data import write_data  # noqa: E402
from whole_program import run_program, verdict  # noqa: E402

PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")
TEMPLATE = Path("@CMAKE_SOURCE_DIR@/examples/invoice.dotx")
ROWS = 100


def make_big_template(path: Path, parts: int) -> None:
    megabyte = bytes(1000000)
    with zipfile.ZipFile(TEMPLATE) as source, \
            zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as target:
        types = source.read("[Content_Types].xml").replace(
            b"<Default ", b'<Default Extension="bin" ContentType="application/octet-stream"/><Default ', 1)
        for item in source.infolist():
            target.writestr(item, types if item.filename == "[Content_Types].xml" else source.read(item))
        for i in range(parts):
            target.writestr(f"word/media/filler{i}.bin", megabyte)


def run_case(folder: Path, label: str, template: Path, documents: int):
    data = folder / f"{label}.xml"
    write_data(data, template, documents, ROWS)
    output = folder / label
    output.mkdir()
    return run_program(PROGRAM, data, output, ".docx", documents)


def main() -> int:
    failed = False
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    with tempfile.TemporaryDirectory(prefix="bench-documents-") as folder:
        folder = Path(folder)
        baseline = run_case(folder, "baseline", TEMPLATE, 100)
        print(f"   100 documents, baseline: {baseline.wall:.2f} s, peak {baseline.megabytes:.0f} MB", flush=True)
        # Each document costs its compressed changes and its records in the
        # data file, about 50 KB; kept parsed, one cost 2.4 MB.
        many = run_case(folder, "many", TEMPLATE, 2_000)
        per_document = (many.megabytes - baseline.megabytes) * 1024 / 1_900
        ok = per_document < 100
        failed |= not ok
        print(f" 2,000 documents: {many.wall:.2f} s, peak {many.megabytes:.0f} MB, "
              f"{per_document:.0f} KB per document above the baseline (target 100 KB) {verdict(ok)}", flush=True)
        big = folder / "big.dotx"
        make_big_template(big, 1000)
        shared = run_case(folder, "big", big, 100)
        ok = shared.megabytes < 300
        failed |= not ok
        print(f"   100 documents from 1,000 parts of 1 MB: {shared.wall:.2f} s, peak {shared.megabytes:.0f} MB "
              f"(target 300 MB) {verdict(ok)}", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
