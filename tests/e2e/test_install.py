"""Installing: `make install` / `make uninstall` into a staging root, and the
Debian package from `make deb`, unpacked and run on the bundled examples."""

import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

from tolvane_e2e import SOURCE_DIR, TemporaryRuns, docx_texts

EXAMPLES = ["README.md", "invoice.dotx", "invoice.xml", "sales.xltx", "sales.xml"]


def make(*arguments):
    return subprocess.run(["make", "-s", "-C", str(SOURCE_DIR), *arguments],
                          capture_output=True, text=True, timeout=600)


def section_names(program):
    listing = subprocess.run(["readelf", "-S", "-W", str(program)], capture_output=True, text=True, check=True)
    return [field for line in listing.stdout.splitlines() for field in line.split() if field.startswith(".")]


def render_manual(page):
    """What man says while rendering the page with its warnings turned on."""
    return subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", str(page)],
                          capture_output=True, text=True, env={**os.environ, "MANWIDTH": "80"})


class MakeInstall(unittest.TestCase):
    def setUp(self):
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-install-"))
        self.addCleanup(shutil.rmtree, self.root, True)

    def test_install_then_uninstall_leaves_the_staging_root_empty(self):
        done = make("install", f"DESTDIR={self.root}", "PREFIX=/opt/tolvane")
        self.assertEqual(done.returncode, 0, done.stderr)
        prefix = self.root / "opt" / "tolvane"
        program = prefix / "bin" / "tolvane"
        self.assertTrue(os.access(program, os.X_OK))
        sections = section_names(program)
        self.assertNotIn(".symtab", sections)
        self.assertEqual([s for s in sections if s.startswith(".debug")], [])

        page = prefix / "share" / "man" / "man1" / "tolvane.1"
        rendered = render_manual(page)
        self.assertEqual(rendered.returncode, 0)
        self.assertEqual(rendered.stderr, "")
        text = subprocess.run(["man", "-l", str(page)], capture_output=True, text=True,
                              env={**os.environ, "MANWIDTH": "200"}).stdout
        for heading in ["SYNOPSIS", "OPTIONS", "EXIT STATUS", "ENVIRONMENT", "FILES", "EXAMPLES", "DIAGNOSTICS"]:
            self.assertIn(heading, text)
        self.assertIn("/opt/tolvane/share/doc/tolvane/examples/invoice.xml", text)

        doc = prefix / "share" / "doc" / "tolvane"
        self.assertEqual(sorted(p.name for p in (doc / "examples").iterdir()), sorted(EXAMPLES))
        self.assertEqual((doc / "README.md").read_bytes(), (SOURCE_DIR / "README.md").read_bytes())

        done = make("uninstall", f"DESTDIR={self.root}", "PREFIX=/opt/tolvane")
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(list(self.root.iterdir()), [])

    def test_uninstall_keeps_what_it_did_not_install(self):
        self.assertEqual(make("install", f"DESTDIR={self.root}", "PREFIX=/usr").returncode, 0)
        other = self.root / "usr" / "bin" / "other-program"
        other.write_text("#!/bin/sh\n")
        self.assertEqual(make("uninstall", f"DESTDIR={self.root}", "PREFIX=/usr").returncode, 0)
        self.assertEqual([p for p in self.root.rglob("*") if p.is_file()], [other])

    def test_a_relative_prefix_is_refused(self):
        done = make("install", f"DESTDIR={self.root}", "PREFIX=usr")
        self.assertNotEqual(done.returncode, 0)
        self.assertIn("PREFIX must be an absolute path", done.stderr)
        self.assertEqual(list(self.root.iterdir()), [])


class DebianPackage(TemporaryRuns, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.dist = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-deb-"))
        done = make("deb", f"DIST={cls.dist}")
        if done.returncode != 0:
            raise AssertionError("make deb failed:\n" + done.stdout + done.stderr)
        cls.package = cls.dist / "tolvane_1.1.5-1_amd64.deb"

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.dist, True)

    def field(self, name):
        return subprocess.run(["dpkg-deb", "-f", str(self.package), name],
                              capture_output=True, text=True, check=True).stdout.strip()

    def test_control_fields(self):
        self.assertEqual(self.field("Version"), "1.1.5-1")
        depends = self.field("Depends")
        for library in ["libc6", "libexpat1", "libgtk-3-0", "libpugixml1v5", "libzip4", "zlib1g"]:
            self.assertIn(library, depends)
        self.assertEqual(self.field("Recommends"), "xdg-utils")
        self.assertEqual(self.field("Suggests"), "libreoffice-writer-nogui | libreoffice-writer, "
                                                 "libreoffice-calc-nogui | libreoffice-calc")

    def test_lintian_reports_no_error(self):
        if shutil.which("lintian") is None:
            self.skipTest("lintian is not installed (scripts/install-deps installs it)")
        checked = subprocess.run(["lintian", "--tag-display-limit", "0", str(self.package)],
                                 capture_output=True, text=True, timeout=600)
        errors = [line for line in checked.stdout.splitlines() if line.startswith("E:")]
        self.assertEqual(errors, [], checked.stdout + checked.stderr)

    def test_the_unpacked_program_fills_the_examples(self):
        root = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-deb-root-"))
        self.addCleanup(shutil.rmtree, root, True)
        subprocess.run(["dpkg-deb", "-x", str(self.package), str(root)], check=True)
        examples = root / "usr" / "share" / "doc" / "tolvane" / "examples"
        program = root / "usr" / "bin" / "tolvane"
        self.assertEqual(render_manual(root / "usr" / "share" / "man" / "man1" / "tolvane.1.gz").stderr, "")

        def fill(name):
            text = (examples / name).read_text(encoding="utf-8").replace("@EXAMPLES@", str(examples))
            result = self.run_tolvane(text=text, binary=program)
            self.assertEqual((result.exit_code, result.boxes), (0, []))
            return result

        first, second = fill("invoice.xml").documents()
        self.assertEqual(docx_texts(first)[0], "Invoice 2024-0117 of 15 March 2024")
        self.assertEqual(docx_texts(second)[0], "Invoice 2024-0118 of 18 March 2024")
        self.assertEqual(len(fill("sales.xml").documents(".xlsx")), 1)


if __name__ == "__main__":
    unittest.main()
