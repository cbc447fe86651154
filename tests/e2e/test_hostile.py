"""Hostile templates end to end: each ends with a clear refusal or a correct
document, within its time and in bounded memory. The large cases are made
here from the shared reproductions and the sales example."""

import pathlib
import re
import shutil
import tempfile
import unittest
import zipfile

from tolvane_e2e import MB_ICONERROR, REPROS_DIR, SOURCE_DIR, TemporaryRuns, repro_data

# Far below what the unbounded cases took (1 to 4 GB), well above a normal run.
MEMORY_LIMIT_MB = 900
SALES = SOURCE_DIR / "examples" / "sales.xltx"


def rewrite_template(source, target, change, extra=(), compression=zipfile.ZIP_DEFLATED):
    """Copies a template, passing each part's text through change(name, text)
    and adding the extra (name, bytes) parts. Deeply nested parts are stored:
    deflated, they shrink a thousand times and are refused as zip bombs."""
    with zipfile.ZipFile(source) as old, zipfile.ZipFile(target, "w", compression) as new:
        for item in old.infolist():
            data = old.read(item)
            if item.filename.endswith((".xml", ".rels", ".vml")):
                data = change(item.filename, data.decode("utf-8")).encode("utf-8")
            new.writestr(item.filename, data)
        for name, data in extra:
            new.writestr(name, data)


def nested(element, depth, inside):
    return f"<{element}>" * depth + inside + f"</{element}>" * depth


class HostileTemplates(TemporaryRuns, unittest.TestCase):
    def scratch(self, name):
        folder = tempfile.mkdtemp(prefix="tolvane-hostile-")
        self.addCleanup(shutil.rmtree, folder, True)
        return pathlib.Path(folder) / name

    def run_sales(self, template, **options):
        text = repro_data("hostile/deep_extlst_50k").replace(
            str(REPROS_DIR / "hostile" / "deep_extlst_50k.xltx"), str(template))
        return self.run_tolvane(text=text, memory_limit_mb=MEMORY_LIMIT_MB, **options)

    def assert_filled(self, result, count=1):
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        documents = result.documents(".xlsx")
        self.assertEqual(len(documents), count)
        with zipfile.ZipFile(documents[0]) as written:
            strings = written.read("xl/sharedStrings.xml").decode("utf-8")
            for value in ("January to March 2024", "Sea kayak", "Bergen"):
                self.assertIn(value, strings)
            return written.read("xl/worksheets/sheet1.xml").decode("utf-8")

    def assert_refused(self, result):
        """One "Error" box (its text is the program's own; the server's
        reason is checked by the unit tests) and nothing written."""
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.documents(".xlsx"), [])
        [box] = result.boxes
        self.assertEqual(box.caption, "Error")
        self.assertTrue(box.flags & MB_ICONERROR)

    def test_deep_extension_trees_are_filled_and_kept(self):
        source = REPROS_DIR / "hostile" / "deep_extlst_50k.xltx"
        with zipfile.ZipFile(source) as original:
            depth = original.read("xl/worksheets/sheet1.xml").decode("utf-8").count("<a>")
        self.assertGreaterEqual(depth, 50000)
        result = self.run_repro("hostile/deep_extlst_50k", memory_limit_mb=MEMORY_LIMIT_MB, timeout=60)
        # The innermost, empty element is written <a />.
        self.assertGreaterEqual(self.assert_filled(result).count("<a>"), depth - 1)

        template = self.scratch("deep1m.xltx")
        rewrite_template(source, template,
                         lambda name, text: re.sub(r"(<a>)+(.*?)(</a>)+",
                                                   lambda m: nested("a", 1000000, m.group(2)), text, count=1),
                         compression=zipfile.ZIP_STORED)
        self.assertGreaterEqual(self.assert_filled(self.run_sales(template, timeout=120)).count("<a>"), 999999)

    def test_rich_text_a_million_runs_deep_is_read(self):
        deep_note = nested("r", 1000000, "<t>deep note</t>")
        deep_row = ('<row r="100"><c r="A100" t="inlineStr"><is>' + nested("r", 1000000, "<t>deep cell</t>") +
                    "</is></c></row>")

        def change(name, text):
            if name == "xl/comments1.xml":
                return re.sub(r"<text>.*</text>", "<text>" + deep_note + "</text>", text, flags=re.S)
            if name == "xl/worksheets/sheet1.xml":
                return text.replace("</sheetData>", deep_row + "</sheetData>")
            return text

        template = self.scratch("deeptext.xltx")
        rewrite_template(SALES, template, change, compression=zipfile.ZIP_STORED)
        result = self.run_sales(template, timeout=120)
        self.assert_filled(result)
        with zipfile.ZipFile(result.documents(".xlsx")[0]) as written:
            self.assertIn("deep note", written.read("xl/comments1.xml").decode("utf-8"))

    def test_sheets_sharing_one_part_are_refused_at_once(self):
        result = self.run_repro("hostile/samepart_sheets60k", memory_limit_mb=MEMORY_LIMIT_MB, timeout=30)
        self.assert_refused(result)

    def test_a_lying_central_directory_is_refused(self):
        self.assert_refused(self.run_repro("hostile/lie_big_cs", timeout=60))

    def test_thousands_of_names_are_scanned(self):
        self.assert_filled(self.run_repro("hostile/tplnames5000", memory_limit_mb=MEMORY_LIMIT_MB, timeout=60))

    def big_parts_run(self, part_size, workbooks):
        """The sales example with 1,000 more parts of part_size zeros, filled
        workbooks times."""
        template = self.scratch("big.xltx")
        def with_bin_type(name, text):
            if name != "[Content_Types].xml":
                return text
            return text.replace("<Default ", '<Default Extension="bin" ContentType="application/octet-stream"/><Default ', 1)
        rewrite_template(SALES, template, with_bin_type,
                         [(f"xl/media/filler{i}.bin", bytes(part_size)) for i in range(1000)])
        text = repro_data("hostile/deep_extlst_50k").replace(
            str(REPROS_DIR / "hostile" / "deep_extlst_50k.xltx"), str(template))
        document = re.search(r"<workbook>.*?</workbook>", text, re.S).group(0)
        text = text.replace(document, document * workbooks)
        return self.run_tolvane(text=text, memory_limit_mb=MEMORY_LIMIT_MB, timeout=120)

    def test_big_untouched_parts_are_shared_by_every_workbook(self):
        # 1,000 parts of a million zeros (about 1 MB compressed) and four
        # workbooks: kept uncompressed per workbook they took 4 GB.
        result = self.big_parts_run(1000000, 4)
        self.assert_filled(result, count=4)
        for path in result.documents(".xlsx"):
            with zipfile.ZipFile(path) as written:
                self.assertEqual(written.read("xl/media/filler999.bin"), bytes(1000000))

    def test_parts_of_a_mebibyte_of_zeros_are_refused_as_a_bomb_before_any_work(self):
        # No real part of a mebibyte or more expands a thousand times (sheets
        # rarely a hundred, pictures and fonts hardly at all): such a template
        # is an attack or damaged, and refusing it at once, naming the part,
        # serves the user better than filling it.
        result = self.big_parts_run(1 << 20, 4)
        self.assert_refused(result)
        self.assertRegex(result.stderr, r"the entry 'xl/media/filler\d+\.bin' expands \d+ times \(zip bomb\)")

if __name__ == "__main__":
    unittest.main()
