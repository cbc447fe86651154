"""Runs the built tolvane binary on a data file and reads back what it did.

A run gets its own temporary folder: the data file (with the placeholders
below replaced), the record of the user interface (TOLVANE_UI=record) and the
output folder the office servers write into. Placeholders in data files:
@EXAMPLES@ is the project's examples folder, @DATA@ this folder's data
folder, @SAMPLES@ the shared folder of real office samples. A reproduction from the
shared repros folder runs with run_repro ("KIND/NAME"); its @HERE@ is its folder.
"""

import dataclasses
import os
import pathlib
import resource
import shutil
import subprocess
import tempfile

import read_docx

HERE = pathlib.Path(__file__).resolve().parent
SOURCE_DIR = pathlib.Path(os.environ.get("TOLVANE_SOURCE_DIR", HERE.parent.parent))
SHARED_DIR = pathlib.Path(os.environ.get("TOLVANE_SHARED_DIR", SOURCE_DIR.parent / "shared"))
BINARY = pathlib.Path(os.environ.get("TOLVANE_BINARY", SOURCE_DIR / "build" / "tolvane"))
DATA_DIR = HERE / "data"
REPROS_DIR = SHARED_DIR / "repros"

DIALOG = "dialog:105"
CANCEL_BUTTON = DIALOG + "/2"
STATUS_LINE = DIALOG + "/106"
PERCENT = DIALOG + "/107"

MB_ICONERROR = 0x10
MB_SETFOREGROUND = 0x10000


def substitute(text):
    return (text.replace("@EXAMPLES@", str(SOURCE_DIR / "examples"))
                .replace("@DATA@", str(DATA_DIR))
                .replace("@SAMPLES@", str(SHARED_DIR / "samples")))


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append({"\\": "\\", "t": "\t", "n": "\n", "r": "\r"}.get(text[i + 1], text[i + 1]))
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


@dataclasses.dataclass
class Box:
    owner: str
    flags: int
    caption: str
    text: str


@dataclasses.dataclass
class Run:
    exit_code: int
    events: list      # (kind, window, text) for window events
    boxes: list       # Box, in order
    stdout: str
    stderr: str
    output_dir: pathlib.Path

    def texts(self, window):
        """Every text the window was created with or given, in order."""
        return [text for kind, name, text in self.events
                if name == window and kind in ("create", "text")]

    def last_text(self, window):
        texts = self.texts(window)
        return texts[-1] if texts else None

    def documents(self, suffix=".docx"):
        return sorted(p for p in self.output_dir.iterdir() if p.suffix == suffix)


def parse_record(path):
    events, boxes = [], []
    if not path.exists():
        return events, boxes
    for line in path.read_bytes().decode("utf-8", "replace").splitlines():
        fields = line.split("\t")
        if fields[0] == "box":
            boxes.append(Box(fields[1], int(fields[2], 16), unescape(fields[3]), unescape(fields[4])))
        else:
            events.append((fields[0], fields[1], unescape(fields[2]) if len(fields) > 2 else ""))
    return events, boxes


def run(data=None, *, text=None, arguments=None, cancel_at=None, env=None, timeout=60, workdir=None,
        memory_limit_mb=None, binary=None):
    """Runs tolvane on a data file (a name in this folder's data folder, or a
    path) or on the given text, with the placeholders replaced; or with the
    given command-line arguments as they are. cancel_at presses Cancel right
    after the first recorded event whose line holds that text. memory_limit_mb
    limits the program's address space. Everything is written below workdir
    (a new temporary folder when none is given); binary is the program to run
    instead of the built one."""
    workdir = pathlib.Path(workdir or tempfile.mkdtemp(prefix="tolvane-e2e-"))
    output_dir = workdir / "out"
    output_dir.mkdir(parents=True, exist_ok=True)
    if arguments is None:
        if text is None and data is not None:
            source = pathlib.Path(data)
            if not source.is_absolute():
                source = DATA_DIR / source
            text = source.read_text(encoding="utf-8")
        data_path = workdir / (pathlib.Path(data).name if data else "data.xml")
        if text is not None:
            data_path.write_bytes(substitute(text).encode("utf-8"))
        arguments = [str(data_path)]
    record = workdir / "record.txt"
    full_env = dict(os.environ)
    full_env.update({
        "TOLVANE_UI": "record",
        "TOLVANE_RECORD": str(record),
        "TOLVANE_OUTPUT_DIR": str(output_dir),
        "TOLVANE_OPEN": "0",
        "TOLVANE_CHECK_PARTS": "1",
    })
    full_env.pop("TOLVANE_RECORD_CANCEL", None)
    if cancel_at is not None:
        full_env["TOLVANE_RECORD_CANCEL"] = cancel_at
    full_env.update(env or {})
    def limit_memory():
        limit = memory_limit_mb * 1024 * 1024
        resource.setrlimit(resource.RLIMIT_AS, (limit, limit))

    completed = subprocess.run([str(binary or BINARY), *arguments], env=full_env, capture_output=True,
                               timeout=timeout, cwd=workdir,
                               preexec_fn=limit_memory if memory_limit_mb else None)
    events, boxes = parse_record(record)
    return Run(completed.returncode, events, boxes,
               completed.stdout.decode("utf-8", "replace"),
               completed.stderr.decode("utf-8", "replace"), output_dir)


def repro_data(case):
    """The data file text of a reproduction "KIND/NAME", its @HERE@ replaced."""
    folder = REPROS_DIR / pathlib.Path(case).parent
    name = pathlib.Path(case).name
    return (folder / f"{name}.xml").read_text(encoding="utf-8").replace("@HERE@", str(folder))


class TemporaryRuns:
    """Mixin for unittest cases: every run gets a folder removed after the test."""

    def run_tolvane(self, data=None, **options):
        workdir = tempfile.mkdtemp(prefix="tolvane-e2e-")
        self.addCleanup(shutil.rmtree, workdir, True)
        return run(data, workdir=workdir, **options)

    def run_repro(self, case, **options):
        """Runs the reproduction "KIND/NAME" (for instance "spreadsheet/empty-v")."""
        return self.run_tolvane(pathlib.Path(case).name + ".xml", text=repro_data(case), **options)


def docx_texts(path):
    """The body of a .docx, one line per paragraph or table row (see read_docx)."""
    import docx
    return list(read_docx.text_lines(docx.Document(str(path))))
