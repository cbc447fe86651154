#!/usr/bin/python3
"""Whole-program scale check: grouped reports of 10,000, 30,000 and 100,000
records whose detail row holds a hyperlink, a validation and a conditional
format, all three copied with every record, and whose group heading holds a
validation and a conditional format, copied with every group. Prints the
median cpu time and the time per record beside the same report from a
template without them, measured in the same run; fails when the time per
record of the largest case grows past the smallest one's, as a walk over
every copy on each insertion would make it."""
import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from grouped_report_data import make_data, make_template  # noqa: E402
from whole_program import measure, run_program, verdict  # noqa: E402

PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")
RECORDS = (10_000, 30_000, 100_000)
RUNS = 3
# Time per record of the largest case against the smallest.
LINEARITY = 1.3


def main() -> int:
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    print(f"{'records':>8} {'cpu s':>7} {'peak MB':>8} {'us/record':>9} {'plain cpu s':>11} {'plain us/record':>15} "
          f"{'x plain':>7}")
    per_record = {}
    with tempfile.TemporaryDirectory(prefix="bench-copied-ranges-") as folder:
        folder = Path(folder)
        output = folder / "out"
        output.mkdir()
        ranged = folder / "ranged.xltx"
        plain = folder / "plain.xltx"
        make_template(ranged, copied_ranges=True)
        make_template(plain)
        for records in RECORDS:
            figures = {}
            for name, template in (("ranged", ranged), ("plain", plain)):
                data = folder / f"{name}-{records}.xml"
                make_data(data, template, records)
                figures[name] = measure(lambda: run_program(PROGRAM, data, output, ".xlsx", 1), RUNS)
            program, baseline = figures["ranged"], figures["plain"]
            per_record[records] = program.cpu / records
            print(f"{records:>8} {program.cpu:>7.3f} {program.megabytes:>8.0f} {1e6 * program.cpu / records:>9.2f} "
                  f"{baseline.cpu:>11.3f} {1e6 * baseline.cpu / records:>15.2f} {program.cpu / baseline.cpu:>7.2f}",
                  flush=True)
    ratio = per_record[RECORDS[-1]] / per_record[RECORDS[0]]
    ok = ratio <= LINEARITY
    print(f"time per record, {RECORDS[-1]} against {RECORDS[0]} records: {ratio:.2f} (target <= {LINEARITY}) "
          f"{verdict(ok)}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
