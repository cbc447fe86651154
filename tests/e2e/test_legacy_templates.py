"""Templates in the old binary and OpenDocument formats: the examples saved
as .dot, .xlt, .ott and .ots by LibreOffice in the test, then filled like
their OOXML originals."""

import os
import pathlib
import shutil
import subprocess
import tempfile
import unittest

import openpyxl

from tolvane_e2e import SOURCE_DIR, TemporaryRuns, docx_texts

EXAMPLES = SOURCE_DIR / "examples"
SOFFICE = shutil.which("soffice")
# Conversions are slow on a busy machine; the program's own limit rises with this one.
CONVERT_SECONDS = 600


def save_with_libreoffice(source, extension, folder):
    """source saved by LibreOffice as `extension` (its default filter for it) into folder."""
    profile = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-lo-profile-"))
    try:
        subprocess.run([SOFFICE, f"-env:UserInstallation={profile.as_uri()}", "--headless", "--norestore",
                        "--convert-to", extension, "--outdir", str(folder), str(source)],
                       capture_output=True, timeout=CONVERT_SECONDS, check=True)
    finally:
        shutil.rmtree(profile, True)
    converted = folder / f"{source.stem}.{extension}"
    if not converted.is_file():
        raise AssertionError(f"LibreOffice did not save {source.name} as .{extension}")
    return converted


def cell_values(path):
    workbook = openpyxl.load_workbook(path)
    return {sheet.title: [[cell.value for cell in row] for row in sheet.iter_rows()] for sheet in workbook}


def binary_word_file():
    """The smallest file the program takes for a binary Word file: a compound
    file header and a directory entry of the WordDocument stream."""
    data = bytearray(512 * 3)
    data[0:8] = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"
    data[26:28] = (3).to_bytes(2, "little")
    data[30:32] = (9).to_bytes(2, "little")
    entry = 1024
    name = "WordDocument".encode("utf-16-le")
    data[entry:entry + len(name)] = name
    data[entry + 64:entry + 66] = (len(name) + 2).to_bytes(2, "little")
    data[entry + 66] = 2
    return bytes(data)


@unittest.skipIf(SOFFICE is None, "LibreOffice (soffice) is not installed: scripts/install-deps installs "
                                  "libreoffice-writer-nogui and libreoffice-calc-nogui")
class LegacyTemplates(TemporaryRuns, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-legacy-"))
        cls.cache = cls.folder / "cache"
        cls.dot = save_with_libreoffice(EXAMPLES / "invoice.dotx", "dot", cls.folder)
        cls.xlt = save_with_libreoffice(EXAMPLES / "sales.xltx", "xlt", cls.folder)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, True)

    def fill(self, example, template=None):
        text = (EXAMPLES / example).read_text(encoding="utf-8")
        if template is not None:
            original = {"invoice.xml": "invoice.dotx", "sales.xml": "sales.xltx"}[example]
            text = text.replace(f"@EXAMPLES@/{original}", str(template))
        env = {"XDG_CACHE_HOME": str(self.cache), "TOLVANE_CONVERT_TIMEOUT": str(CONVERT_SECONDS)}
        result = self.run_tolvane(text=text, env=env, timeout=CONVERT_SECONDS + 60)
        self.assertEqual((result.exit_code, result.boxes), (0, []), result.stderr)
        return result

    def test_a_dot_with_text_form_fields_fills_like_its_original(self):
        self.assertEqual(self.dot.read_bytes()[:8], b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")
        expected = [docx_texts(path) for path in self.fill("invoice.xml").documents()]
        filled = [docx_texts(path) for path in self.fill("invoice.xml", self.dot).documents()]
        self.assertEqual(len(filled), 2)
        self.assertEqual(filled, expected)
        self.assertEqual(len(list((self.cache / "tolvane").glob("*.dotx"))), 1)

    def test_an_xlt_with_named_ranges_and_a_group_block_fills_like_its_original(self):
        [expected] = self.fill("sales.xml").documents(".xlsx")
        [filled] = self.fill("sales.xml", self.xlt).documents(".xlsx")
        self.assertEqual(cell_values(filled), cell_values(expected))

    def test_opendocument_templates_fill_like_their_originals(self):
        ott = save_with_libreoffice(EXAMPLES / "invoice.dotx", "ott", self.folder)
        ots = save_with_libreoffice(EXAMPLES / "sales.xltx", "ots", self.folder)
        expected = [docx_texts(path) for path in self.fill("invoice.xml").documents()]
        self.assertEqual([docx_texts(path) for path in self.fill("invoice.xml", ott).documents()], expected)
        [expected] = self.fill("sales.xml").documents(".xlsx")
        [filled] = self.fill("sales.xml", ots).documents(".xlsx")
        self.assertEqual(cell_values(filled), cell_values(expected))

    def test_a_renamed_binary_template_is_known_by_its_content(self):
        renamed = self.folder / "invoice-renamed.dotx"
        shutil.copyfile(self.dot, renamed)
        filled = [docx_texts(path) for path in self.fill("invoice.xml", renamed).documents()]
        self.assertEqual(filled[0][0], "Invoice 2024-0117 of 15 March 2024")


class WithoutLibreOffice(TemporaryRuns, unittest.TestCase):
    def test_a_doc_template_is_refused_naming_the_format_and_the_package(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-legacy-"))
        self.addCleanup(shutil.rmtree, folder, True)
        doc = folder / "order.doc"
        doc.write_bytes(binary_word_file())
        empty = folder / "bin"
        empty.mkdir()
        text = (EXAMPLES / "invoice.xml").read_text(encoding="utf-8").replace("@EXAMPLES@/invoice.dotx", str(doc))
        result = self.run_tolvane(text=text, env={"PATH": str(empty), "XDG_CACHE_HOME": str(folder / "cache")})
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.documents(), [])
        self.assertEqual([box.caption for box in result.boxes], ["Error"])
        diagnostics = [line for line in result.stderr.splitlines() if line.startswith("tolvane: ")]
        if not diagnostics:
            self.skipTest("this build writes no diagnostics line for a refused call")
        self.assertIn(f"'{doc}' (a binary Word file (.doc/.dot))", diagnostics[0])
        self.assertIn("install the package libreoffice-writer-nogui", diagnostics[0])
        self.assertFalse((folder / "cache" / "tolvane").exists() and any((folder / "cache" / "tolvane").iterdir()))


if __name__ == "__main__":
    unittest.main()
