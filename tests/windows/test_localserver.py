"""tolvane-office.exe under Wine: its registration (refused over another
server's name, removed without touching others), whole runs of tolvane.exe on the bundled examples and on
a grouped report of 10,000 records, whose documents must hold the same parts
as the Linux build's, and Cancel pressed at random moments."""
import os
import pathlib
import random
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time
import unittest
import zipfile

import docx
import openpyxl

WINE_RUN = shlex.split(os.environ["WINE_RUN"])
TOLVANE = os.environ["TOLVANE_EXE"]
OFFICE = os.environ["OFFICE_EXE"]
PROBE = os.environ["WINDOWPROBE_EXE"]
LINUX_TOLVANE = pathlib.Path(os.environ["LINUX_TOLVANE"])
SOURCE_DIR = pathlib.Path(os.environ["TOLVANE_SOURCE_DIR"])
SHARED_EXAMPLES = pathlib.Path(os.environ.get("TOLVANE_SHARED_DIR", "/work/shared")) / "examples"
sys.path.insert(0, str(SOURCE_DIR / "bench" / "e2e"))
from grouped_report_data import make_data, make_template  # noqa: E402

TIMEOUT = 300
CANCEL_RUNS = 30
MACHINE_CLASSES = r"HKLM\Software\Classes"
# The core properties' times are the only parts allowed to differ between two runs.
TIMESTAMP = re.compile(rb"<dcterms:(created|modified)[^>]*>[^<]*</dcterms:\1>")


def windows_path(path):
    return "Z:" + str(path).replace("/", "\\")


def wine(*args, env=None, timeout=TIMEOUT):
    return subprocess.run(WINE_RUN + [str(a) for a in args], capture_output=True, text=True, timeout=timeout,
                          env=env)


def servers_running():
    """The process ids of tolvane-office.exe in this test's Wine prefix."""
    prefix = f"WINEPREFIX={WINE_RUN[2]}".encode()
    running = []
    for proc in pathlib.Path("/proc").iterdir():
        try:
            if (b"tolvane-office.exe" in (proc / "cmdline").read_bytes()
                    and prefix in (proc / "environ").read_bytes().split(b"\0")):
                running.append(int(proc.name))
        except (OSError, ValueError):
            continue
    return running


def registered(key):
    return wine("reg", "query", key, "/ve").returncode == 0


def parts(path):
    with zipfile.ZipFile(path) as package:
        return {name: TIMESTAMP.sub(b"", package.read(name)) for name in package.namelist()}


def data_file(source, folder, templates):
    """A copy of a data file whose templates are found in `templates`."""
    text = source.read_text(encoding="utf-8").replace("@EXAMPLES@", str(templates))
    target = folder / source.name
    target.write_text(text, encoding="utf-8")
    return target


class LocalServer(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        if not LINUX_TOLVANE.exists():
            raise AssertionError(f"{LINUX_TOLVANE} is missing: the Linux build's documents are the reference")
        cls.folder = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-wine-"))
        # The Wine processes see the same files through drive Z:.
        cls.register()

    @classmethod
    def tearDownClass(cls):
        wine(OFFICE, "/UnregServer", "/machine")
        shutil.rmtree(cls.folder, True)

    @classmethod
    def register(cls):
        run = wine(OFFICE, "/RegServer", "/machine")
        if run.returncode != 0:
            raise AssertionError(f"/RegServer failed: {run.stderr}")

    def windows_run(self, data, output, *, cancel_after=None):
        """tolvane.exe on a data file, writing into `output`; with cancel_after,
        Cancel is pressed that many seconds after the start. Returns the exit code
        and the seconds the run took."""
        env = dict(os.environ, TOLVANE_OUTPUT_DIR=windows_path(output), TOLVANE_OPEN="0")
        start = time.monotonic()
        process = subprocess.Popen(WINE_RUN + [TOLVANE, windows_path(data)], env=env, stdout=subprocess.PIPE,
                                   stderr=subprocess.PIPE)
        self.addCleanup(lambda: process.poll() is None and process.kill())
        if cancel_after is not None:
            time.sleep(cancel_after)
            title = re.search(r"<TITLE>([^<]*)</TITLE>", data.read_text(encoding="utf-8")).group(1)
            button = re.search(r"<CANCEL>([^<]*)</CANCEL>", data.read_text(encoding="utf-8")).group(1)
            subprocess.run(WINE_RUN + [PROBE, title, button, "1"], capture_output=True, timeout=TIMEOUT)
        _, stderr = process.communicate(timeout=TIMEOUT)
        return process.returncode, time.monotonic() - start, stderr.decode("utf-8", "replace")

    def linux_run(self, data, output):
        env = dict(os.environ, TOLVANE_UI="terminal", TOLVANE_OUTPUT_DIR=str(output), TOLVANE_OPEN="0")
        run = subprocess.run([str(LINUX_TOLVANE), str(data)], env=env, capture_output=True, timeout=TIMEOUT)
        self.assertEqual(0, run.returncode, run.stderr)

    def same_documents(self, name, make_data_file, suffix):
        """Runs both builds on a data file made by make_data_file(folder,
        template folder as the build spells it); returns the Windows build's
        documents, in order, after checking that they hold the same parts as
        the Linux build's, and the seconds its run took."""
        work = pathlib.Path(tempfile.mkdtemp(prefix=name, dir=self.folder))
        (work / "windows").mkdir()
        (work / "linux").mkdir()
        windows_out, linux_out = work / "windows" / "out", work / "linux" / "out"
        code, seconds, stderr = self.windows_run(make_data_file(work / "windows", windows_path), windows_out)
        self.assertEqual(0, code, stderr)
        self.linux_run(make_data_file(work / "linux", str), linux_out)
        windows_docs = sorted(windows_out.glob("*" + suffix))
        linux_docs = sorted(linux_out.glob("*" + suffix))
        self.assertTrue(linux_docs, name)
        self.assertEqual([p.name for p in linux_docs], [p.name for p in windows_docs])
        for windows_doc, linux_doc in zip(windows_docs, linux_docs):
            ours, reference = parts(windows_doc), parts(linux_doc)
            self.assertEqual(sorted(reference), sorted(ours), windows_doc.name)
            for part in reference:
                self.assertEqual(reference[part], ours[part], f"{name} {windows_doc.name}: {part} differs")
        return windows_docs, seconds

    def test_registration_refuses_another_servers_name_and_changes_nothing(self):
        dummy = MACHINE_CLASSES + r"\Word.Application\CLSID"
        other = "{00000000-1111-2222-3333-444444444444}"
        wine(OFFICE, "/UnregServer", "/machine")
        self.assertFalse(registered(MACHINE_CLASSES + r"\Excel.Application"))
        self.assertEqual(0, wine("reg", "add", dummy, "/ve", "/d", other, "/f").returncode)
        try:
            refused = wine(OFFICE, "/RegServer", "/machine")
            self.assertNotEqual(0, refused.returncode)
            self.assertIn("Word.Application", refused.stderr)
            self.assertIn(other, refused.stderr)
            self.assertFalse(registered(MACHINE_CLASSES + r"\Excel.Application"))
            self.assertEqual(0, wine(OFFICE, "/UnregServer", "/machine").returncode)
            self.assertIn(other, wine("reg", "query", dummy, "/ve").stdout)
        finally:
            wine("reg", "delete", MACHINE_CLASSES + r"\Word.Application", "/f")
            self.register()
        self.assertTrue(registered(MACHINE_CLASSES + r"\Word.Application\CLSID"))

    def test_the_examples_give_the_same_documents_as_on_linux(self):
        for examples in (SOURCE_DIR / "examples", SHARED_EXAMPLES):
            if not examples.is_dir():
                continue
            with self.subTest(examples=str(examples)):
                invoices, _ = self.same_documents(
                    "invoice", lambda folder, spell: data_file(examples / "invoice.xml", folder, spell(examples)),
                    ".docx")
                self.assertIn("Note:", "\n".join(p.text for p in docx.Document(invoices[0]).paragraphs))
                [workbook], _ = self.same_documents(
                    "sales", lambda folder, spell: data_file(examples / "sales.xml", folder, spell(examples)),
                    ".xlsx")
                self.assertIn("Norway", [c.value for c in openpyxl.load_workbook(workbook).active["A"]])

    def test_a_grouped_report_of_10000_records_gives_the_same_workbook_as_on_linux(self):
        template = self.folder / "report.xltx"
        make_template(template)

        def make(folder, spell):
            data = folder / "report.xml"
            make_data(data, spell(template), 10_000)
            return data

        [workbook], seconds = self.same_documents("report", make, ".xlsx")
        print(f"\n10,000-record report under Wine: {seconds:.1f} s", file=sys.stderr)
        sheet = openpyxl.load_workbook(workbook, read_only=True).active
        customers = [row[0] for row in sheet.iter_rows(min_row=5, values_only=True)
                     if row[0] and str(row[0]).startswith("Customer ")]
        self.assertEqual(len(set(customers)), len(customers))
        self.assertEqual(10_000, sum(1 for row in sheet.iter_rows(min_row=5, values_only=True)
                                     if row[1] and str(row[1]).startswith("Item ")))

    def test_cancel_at_random_moments_ends_every_run_cleanly(self):
        examples = SOURCE_DIR / "examples"
        chooser = random.Random(20261209)
        for run in range(CANCEL_RUNS):
            work = pathlib.Path(tempfile.mkdtemp(prefix="cancel", dir=self.folder))
            name = chooser.choice(["invoice.xml", "sales.xml"])
            data = data_file(examples / name, work, windows_path(examples))
            moment = chooser.uniform(0.0, 4.0)
            with self.subTest(run=run, data=name, moment=moment):
                code, _, stderr = self.windows_run(data, work / "out", cancel_after=moment)
                self.assertEqual(0, code, stderr)
                for written in (work / "out").glob("*") if (work / "out").exists() else []:
                    self.assertIn(written.suffix, (".docx", ".xlsx"), written.name)
                    with zipfile.ZipFile(written) as package:
                        self.assertIsNone(package.testzip(), written.name)
        # A program that ends at once leaves its references behind; the servers
        # it started must end with it all the same.
        deadline = time.monotonic() + 30
        while servers_running() and time.monotonic() < deadline:
            time.sleep(0.5)
        self.assertEqual([], servers_running())


if __name__ == "__main__":
    unittest.main()
