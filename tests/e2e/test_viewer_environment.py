"""The program restarts itself with its own heap settings; the programs it
starts to show the documents must still get the caller's environment."""

import os
import pathlib
import shutil
import stat
import tempfile
import time
import unittest

from tolvane_e2e import TemporaryRuns

VIEWER = """#!/bin/sh
printf '%s|%s\\n' "${GLIBC_TUNABLES-unset}" "$1" >> "$VIEWER_LOG"
"""


class ViewerEnvironment(TemporaryRuns, unittest.TestCase):
    def run_with_viewer(self, tunables):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-viewer-"))
        self.addCleanup(shutil.rmtree, folder, True)
        viewer = folder / "xdg-open"
        viewer.write_text(VIEWER)
        viewer.chmod(viewer.stat().st_mode | stat.S_IXUSR)
        log = folder / "viewer.log"
        env = {"TOLVANE_OPEN": "1", "DISPLAY": ":99", "VIEWER_LOG": str(log),
               "PATH": f"{folder}{os.pathsep}{os.environ['PATH']}"}
        if tunables is not None:
            env["GLIBC_TUNABLES"] = tunables
        saved = os.environ.pop("GLIBC_TUNABLES", None)
        try:
            result = self.run_tolvane("small.xml", env=env)
        finally:
            if saved is not None:
                os.environ["GLIBC_TUNABLES"] = saved
        self.assertEqual(result.exit_code, 0, result.stderr)
        documents = result.documents()
        self.assertEqual(len(documents), 2)
        # The viewer runs in the background: wait for both lines.
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            lines = log.read_text().splitlines() if log.exists() else []
            if len(lines) == len(documents):
                return lines, documents
            time.sleep(0.05)
        self.fail(f"the viewer was started for {lines}, not for {documents}")

    def test_viewer_gets_no_heap_settings_the_caller_did_not_set(self):
        lines, documents = self.run_with_viewer(None)
        self.assertEqual(sorted(lines), sorted(f"unset|{path}" for path in documents))

    def test_the_callers_own_settings_stay_for_the_program_and_the_viewer(self):
        own = "glibc.malloc.tcache_count=7"
        lines, documents = self.run_with_viewer(own)
        self.assertEqual(sorted(lines), sorted(f"{own}|{path}" for path in documents))


if __name__ == "__main__":
    unittest.main()
