#!/usr/bin/python3
"""Whole-program benchmark of defined names: the built program fills a
workbook holding 1,000 to 10,000 defined names (looked up, moved by the
inserted rows, written). Prints the median cpu time of several runs beside
the 1,000-name case measured in the same run; fails when 10,000 names take
0.3 s or more, or grow faster than linearly."""
import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from names_data import make_data, make_template  # noqa: E402
from whole_program import measure, run_program, verdict  # noqa: E402

PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")
COUNTS = (1_000, 2_000, 4_000, 10_000)
TARGET_SECONDS = 0.3
# Ten times the names may cost at most this many times the 1,000-name run.
LINEAR_RATIO = 10


def main() -> int:
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    results = {}
    with tempfile.TemporaryDirectory(prefix="bench-names-") as folder:
        folder = Path(folder)
        output = folder / "out"
        output.mkdir()
        for count in COUNTS:
            template = folder / f"names-{count}.xltx"
            data = folder / f"names-{count}.xml"
            make_template(template, count)
            make_data(data, template)
            results[count] = measure(lambda: run_program(PROGRAM, data, output, ".xlsx", 1))
            figures = results[count]
            print(f"{count:>6} names: cpu {figures.cpu:.3f} s, wall {figures.wall:.3f} s, "
                  f"peak {figures.megabytes:.0f} MB, x the 1,000-name run {figures.cpu / results[COUNTS[0]].cpu:.2f}",
                  flush=True)
    largest = results[COUNTS[-1]].cpu
    ratio = largest / results[COUNTS[0]].cpu
    ok = largest < TARGET_SECONDS and ratio <= LINEAR_RATIO
    print(f"{COUNTS[-1]} names in {largest:.3f} s (target < {TARGET_SECONDS} s), "
          f"ratio to 1,000 names {ratio:.2f} (linear: <= {LINEAR_RATIO}) {verdict(ok)}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
