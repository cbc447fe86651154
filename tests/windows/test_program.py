"""The Windows program under Wine, read and pressed through windowprobe.exe in
the same prefix: the usage box, the version answers by exit code, the error
box of a prefix without a word processor, and the progress dialog's texts and
Cancel button."""
import os
import shlex
import subprocess
import tempfile
import unittest

WINE_RUN = shlex.split(os.environ["WINE_RUN"])
TOLVANE = os.environ["TOLVANE_EXE"]
PROBE = os.environ["WINDOWPROBE_EXE"]
# Wine starts slowly on a busy machine.
TIMEOUT = 180


def start(*args):
    return subprocess.Popen(WINE_RUN + [TOLVANE, *args], stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def probe(caption, button="-"):
    """The child windows of the top-level window with this caption, as
    (class, text) pairs, and how many such windows there were."""
    run = subprocess.run(WINE_RUN + [PROBE, caption, button, "120000"], capture_output=True, text=True,
                         timeout=TIMEOUT)
    lines = [line.split("\t", 1) for line in run.stdout.splitlines() if "\t" in line]
    count = int(dict(line for line in lines if line[0] == "count").get("count", "0"))
    if run.returncode != 0:
        raise AssertionError(f"no window {caption!r}: {run.stdout}{run.stderr}")
    return [tuple(line) for line in lines if line[0] != "count"], count


def box_text(children):
    return [text for kind, text in children if kind.lower() == "static" and text]


class ProgramTest(unittest.TestCase):
    def finish(self, process):
        try:
            process.wait(timeout=TIMEOUT)
        finally:
            if process.poll() is None:
                process.kill()
            process.communicate()
        return process.returncode

    def start(self, *args):
        process = start(*args)
        self.addCleanup(lambda: process.poll() is None and process.kill())
        return process

    def test_no_argument_shows_the_usage_box_once(self):
        process = self.start()
        children, count = probe("Message", "OK")
        self.assertEqual(1, count)
        self.assertIn("Usage: Tolvane <datafile>", box_text(children))
        self.assertEqual(0, self.finish(process))

    def test_version_queries_answer_by_exit_code(self):
        for version, code in [("1.1.5", 0), ("1.0.7", 0), ("0.9", 0), ("1.1.6", 255), ("1.1", 255), ("2.0", 255)]:
            with self.subTest(version=version):
                run = subprocess.run(WINE_RUN + [TOLVANE, "-v", version], capture_output=True, timeout=TIMEOUT)
                self.assertEqual(code, run.returncode)

    def test_without_a_word_processor_the_run_reports_it_and_cancel_ends_it(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "letter.xml")
            with open(path, "w", encoding="utf-8") as out:
                out.write('<?xml version="1.0" encoding="UTF-8"?>\n<export><META>'
                          '<TEMPLATE TYPE="1">letter.dotx</TEMPLATE><TITLE>Letters</TITLE><CANCEL>Stop</CANCEL>'
                          '<INITIALIZE>Starting</INITIALIZE><PROGRESS>Letter</PROGRESS><ERRORWORD>Failed</ERRORWORD>'
                          '</META><DOCUMENTS><letter><FIELDS/></letter></DOCUMENTS></export>\n')
            process = self.start("Z:" + path.replace("/", "\\"))
            children, count = probe("Error")
            self.assertEqual(1, count)
            self.assertIn("CLSIDFromProgID() failed", box_text(children))
            dialog, _ = probe("Letters", "Stop")
            self.assertIn(("Button", "Stop"), dialog)
            probe("Error", "OK")
            self.assertEqual(0, self.finish(process))


if __name__ == "__main__":
    unittest.main()
