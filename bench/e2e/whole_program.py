"""Runs of the built program and of the plain writer for the whole-program
benchmarks: cpu time and peak memory of a child, medians over several runs."""
import os
import statistics
import subprocess
import sys
import tempfile
from dataclasses import dataclass
from pathlib import Path

RUNS = 5


@dataclass
class Figures:
    wall: float  # seconds
    cpu: float  # seconds, user + system
    megabytes: float  # peak resident set


# Beside the configured benchmark scripts in the build's bench folder.
MEASURED_RUN = Path(sys.argv[0]).resolve().parent / "measured_run"


def run_child(arguments, env=None) -> Figures:
    """Runs the program through measured_run, so that its peak memory is its
    own and not this script's (see MeasuredRun.cpp)."""
    with tempfile.NamedTemporaryFile(prefix="measured-", suffix=".txt") as result:
        started = os.times().elapsed
        code = subprocess.run([str(MEASURED_RUN), result.name, *(str(a) for a in arguments)], env=env,
                              stdout=subprocess.DEVNULL).returncode
        wall = os.times().elapsed - started
        if code != 0:
            raise SystemExit(f"{arguments[0]} ended with exit code {code}")
        user, system, kilobytes = Path(result.name).read_text().split()
    return Figures(wall, float(user) + float(system), int(kilobytes) / 1024)


def program_env(output: Path) -> dict:
    env = dict(os.environ, TOLVANE_UI="record", TOLVANE_OPEN="0", TOLVANE_OUTPUT_DIR=str(output))
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return env


def run_program(program: Path, data: Path, output: Path, suffix: str, expected: int) -> Figures:
    figures = run_child([program, data], program_env(output))
    written = list(output.glob("*" + suffix))
    if len(written) != expected:
        raise SystemExit(f"{program} {data} wrote {len(written)} documents, expected {expected}")
    for path in written:
        path.unlink()
    return figures


def median(runs) -> Figures:
    return Figures(statistics.median(r.wall for r in runs), statistics.median(r.cpu for r in runs),
                   max(r.megabytes for r in runs))


def measure(work, runs=RUNS) -> Figures:
    return median([work() for _ in range(runs)])


def verdict(ok: bool) -> str:
    return "PASS" if ok else "MISS"
