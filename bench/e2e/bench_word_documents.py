#!/usr/bin/python3
"""Whole-program benchmark of the word processor: the built program fills the
example invoice with one document of 10,000 table rows, and 1,000 documents
of 10 rows. Prints the median cpu time of several runs beside the plain
writer opening and saving the template as often in the same run; fails when
a target is missed."""
import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from invoice_data import write_data  # noqa: E402
from whole_program import measure, run_child, run_program, verdict  # noqa: E402

PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")
PLAIN_WRITER = Path("@CMAKE_BINARY_DIR@/bench/plain_writer")
TEMPLATE = Path("@CMAKE_SOURCE_DIR@/examples/invoice.dotx")
# (documents, rows each) -> cpu seconds
TARGETS = {(1, 10_000): 0.15, (1_000, 10): 0.50}


def main() -> int:
    failed = False
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    with tempfile.TemporaryDirectory(prefix="bench-word-") as folder:
        folder = Path(folder)
        output = folder / "out"
        output.mkdir()
        copies = folder / "copies"
        for (documents, rows), target in TARGETS.items():
            data = folder / f"invoices-{documents}x{rows}.xml"
            write_data(data, TEMPLATE, documents, rows)
            program = measure(lambda: run_program(PROGRAM, data, output, ".docx", documents))

            def plain():
                copies.mkdir()
                figures = run_child([PLAIN_WRITER, "copy", TEMPLATE, documents, copies])
                for path in copies.iterdir():
                    path.unlink()
                copies.rmdir()
                return figures

            baseline = measure(plain)
            ok = program.cpu < target
            failed |= not ok
            print(f"{documents:>5} documents x {rows:>6} rows: cpu {program.cpu:.3f} s, wall {program.wall:.3f} s, "
                  f"peak {program.megabytes:.0f} MB; template opened and saved as often {baseline.cpu:.3f} s "
                  f"(x {program.cpu / baseline.cpu:.1f}); target {target} s {verdict(ok)}", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
