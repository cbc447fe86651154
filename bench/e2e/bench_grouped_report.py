#!/usr/bin/python3
"""Whole-program benchmark: the built program fills a grouped report of
10,000 and 100,000 records headless; prints the median time and the peak
memory of several runs against the targets, and fails when a target is
missed."""
import os
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from grouped_report_data import make_data, make_template  # noqa: E402

PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")
RUNS = 5
# records -> (seconds, megabytes)
TARGETS = {10_000: (0.3, 600), 100_000: (2.0, 600)}


def run_once(data: Path, output: Path) -> tuple[float, float, float]:
    env = dict(os.environ, TOLVANE_UI="record", TOLVANE_OPEN="0", TOLVANE_OUTPUT_DIR=str(output))
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    started = time.perf_counter()
    child = subprocess.Popen([str(PROGRAM), str(data)], env=env, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    elapsed = time.perf_counter() - started
    child.returncode = os.waitstatus_to_exitcode(status)
    if child.returncode != 0:
        raise SystemExit(f"{PROGRAM} {data} ended with exit code {child.returncode}")
    written = list(output.glob("*.xlsx"))
    if len(written) != 1:
        raise SystemExit(f"{PROGRAM} {data} wrote {len(written)} workbooks, expected 1")
    for path in written:
        path.unlink()
    return elapsed, usage.ru_maxrss / 1024, usage.ru_utime + usage.ru_stime


def main() -> int:
    failed = False
    # Other work on the machine stretches the wall time but not the cpu time.
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    with tempfile.TemporaryDirectory(prefix="bench-grouped-") as folder:
        folder = Path(folder)
        template = folder / "report.xltx"
        make_template(template)
        for records, (seconds_target, megabytes_target) in TARGETS.items():
            data = folder / f"report-{records}.xml"
            make_data(data, template, records)
            runs = [run_once(data, folder) for _ in range(RUNS)]
            seconds = statistics.median(r[0] for r in runs)
            megabytes = max(r[1] for r in runs)
            cpu = statistics.median(r[2] for r in runs)
            ok = seconds < seconds_target and megabytes < megabytes_target
            failed |= not ok
            print(f"grouped report {records:>7} records: median {seconds:.3f} s of {RUNS} runs "
                  f"(target {seconds_target} s, ratio {seconds / seconds_target:.2f}), cpu {cpu:.3f} s, "
                  f"peak {megabytes:.0f} MB (target {megabytes_target} MB) "
                  f"{'PASS' if ok else 'FAIL'}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
