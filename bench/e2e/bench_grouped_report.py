#!/usr/bin/python3
"""Whole-program benchmark: the built program fills grouped reports of 10,000,
100,000 and 900,000 records (20 records a group) headless. Prints the median
cpu time and the peak memory of several runs beside the plain writer, which
streams the same number of finished rows into a zip in the same run, and the
time and memory per record along the scale. The 900,000-record report is also
opened in LibreOffice when it is installed. Fails when a target is missed."""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from grouped_report_data import RECORDS_PER_GROUP, make_data, make_template  # noqa: E402
from whole_program import measure, program_env, run_child, run_program, verdict  # noqa: E402

PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")
PLAIN_WRITER = Path("@CMAKE_BINARY_DIR@/bench/plain_writer")
# records -> (cpu seconds, peak megabytes); None: measured for the curve only
TARGETS = {10_000: None, 100_000: (0.45, 70), 900_000: (4.5, 600)}
# Time per record of the largest case against the 100,000 case.
LINEARITY = 1.2
LIBREOFFICE_SECONDS = 1800
# soffice takes about 14 KB per row of this report, 12 GB for the largest:
# it may use this share of the machine's memory.
LIBREOFFICE_MEMORY_SHARE = 0.8


def report_rows(records: int) -> int:
    # Every group after the first adds a heading row and an empty row.
    groups = max(1, records // RECORDS_PER_GROUP)
    return 8 + records + 2 * (groups - 1)


def plain_run(output: Path, records: int):
    figures = run_child([PLAIN_WRITER, "sheet", report_rows(records), output])
    output.unlink()
    return figures


def resident_bytes(group: int) -> int:
    """The resident memory of every process in the group."""
    total = 0
    for stat in Path("/proc").glob("[0-9]*/stat"):
        try:
            fields = stat.read_text().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == group:
            total += int(fields[21]) * os.sysconf("SC_PAGE_SIZE")
    return total


def memory_limit() -> int:
    return int(os.sysconf("SC_PHYS_PAGES") * os.sysconf("SC_PAGE_SIZE") * LIBREOFFICE_MEMORY_SHARE)


def convert_with_libreoffice(soffice: str, workbook: Path, folder: Path):
    """The workbook converted to CSV, and how soffice's run ended; soffice may
    linger after writing it, so the run ends once the file stops growing. Its
    memory is watched rather than capped: soffice reserves far more address
    space than it uses, and under an address-space limit its import waits
    forever for a worker that failed."""
    csv = folder / (workbook.stem + ".csv")
    profile = folder / "lo-profile"
    command = [soffice, f"-env:UserInstallation=file://{profile}", "--headless", "--convert-to", "csv",
               "--outdir", str(folder), str(workbook)]
    child = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    started = time.monotonic()
    last_size = -1
    peak = 0
    while child.poll() is None and time.monotonic() < started + LIBREOFFICE_SECONDS and peak < memory_limit():
        time.sleep(5)
        peak = max(peak, resident_bytes(child.pid))
        size = csv.stat().st_size if csv.exists() else -1
        if size > 0 and size == last_size:
            break
        last_size = size
    ended = (f"soffice ended with code {child.returncode}" if child.poll() is not None
             else "soffice was stopped")
    if child.poll() is None:
        os.killpg(child.pid, signal.SIGKILL)
        child.wait()
    return csv, f"{ended} after {time.monotonic() - started:.0f} s at {peak >> 20} MB"


def opens_in_libreoffice(workbook: Path, folder: Path, records: int) -> str:
    soffice = shutil.which("soffice")
    if not soffice:
        return "LibreOffice check skipped: soffice is not installed"
    csv, ended = convert_with_libreoffice(soffice, workbook, folder)
    if not csv.exists():
        return (f"FAIL LibreOffice did not open the {records}-record report within {LIBREOFFICE_SECONDS} s "
                f"and {memory_limit() >> 30} GB: {ended}")
    items = sum(1 for line in csv.open(encoding="utf-8", errors="replace") if ",Item " in line)
    ok = items == records
    return f"{verdict(ok)} LibreOffice opened the report: {items} detail rows of {records} ({ended})"


def main() -> int:
    failed = False
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    print(f"{'records':>8} {'cpu s':>7} {'wall s':>7} {'peak MB':>8} {'plain cpu s':>11} {'plain MB':>8} "
          f"{'x plain':>7} {'us/record':>9} {'KB/record':>9}")
    per_record = {}
    with tempfile.TemporaryDirectory(prefix="bench-grouped-") as folder:
        folder = Path(folder)
        output = folder / "out"
        output.mkdir()
        template = folder / "report.xltx"
        make_template(template)
        for records, target in TARGETS.items():
            data = folder / f"report-{records}.xml"
            make_data(data, template, records)
            runs = 3 if records > 100_000 else 5
            program = measure(lambda: run_program(PROGRAM, data, output, ".xlsx", 1), runs)
            plain = measure(lambda: plain_run(folder / "plain.xlsx", records), runs)
            per_record[records] = program.cpu / records
            line = (f"{records:>8} {program.cpu:>7.3f} {program.wall:>7.3f} {program.megabytes:>8.0f} "
                    f"{plain.cpu:>11.3f} {plain.megabytes:>8.0f} {program.cpu / plain.cpu:>7.2f} "
                    f"{1e6 * program.cpu / records:>9.2f} {1024 * program.megabytes / records:>9.2f}")
            if target:
                ok = program.cpu < target[0] and program.megabytes < target[1]
                failed |= not ok
                line += f"  target {target[0]} s, {target[1]} MB: {verdict(ok)}"
            print(line, flush=True)
        largest = max(TARGETS)
        ratio = per_record[largest] / per_record[100_000]
        failed |= ratio > LINEARITY
        print(f"time per record, {largest} against 100000 records: {ratio:.2f} (target <= {LINEARITY}) "
              f"{verdict(ratio <= LINEARITY)}")
        data = folder / f"report-{largest}.xml"
        run_child([PROGRAM, data], program_env(output))
        written = next(output.glob("*.xlsx"))
        check = opens_in_libreoffice(written, folder, largest)
        failed |= check.startswith("FAIL") or check.startswith("MISS")
        print(check)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
