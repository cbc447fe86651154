"""Workbooks with thousands of defined names: the name scan, the insertions
that move them and the save stay linear, so a run that took most of a minute
at 20,000 names ends in seconds, with every name kept."""
import pathlib
import re
import shutil
import tempfile
import unittest
import zipfile

from tolvane_e2e import REPROS_DIR, TemporaryRuns, repro_data


def with_more_names(source, target, extra):
    """A copy of the template with `extra` more names on cells of its first sheet."""
    with zipfile.ZipFile(source) as package, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as copy:
        for entry in package.infolist():
            data = package.read(entry)
            if entry.filename == "xl/workbook.xml":
                text = data.decode("utf-8")
                sheet = re.search(r'<sheet [^>]*name="([^"]+)"', text).group(1)
                added = "".join(f'<definedName name="Extra{n}">\'{sheet}\'!$Z${n % 900 + 1}</definedName>'
                                for n in range(extra))
                data = text.replace("</definedNames>", added + "</definedNames>", 1).encode("utf-8")
            copy.writestr(entry, data)


def defined_names(path):
    with zipfile.ZipFile(path) as package:
        return set(re.findall(r'<definedName [^>]*name="([^"]+)"', package.read("xl/workbook.xml").decode("utf-8")))


class ManyNames(TemporaryRuns, unittest.TestCase):
    def test_twenty_thousand_names_fill_in_seconds_and_all_survive(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-names-"))
        self.addCleanup(shutil.rmtree, folder, True)
        template = folder / "tplnames20000.xltx"
        with_more_names(REPROS_DIR / "hostile" / "tplnames5000.xltx", template, 15_000)
        text = repro_data("hostile/tplnames5000").replace(
            str(REPROS_DIR / "hostile" / "tplnames5000.xltx"), str(template))
        # The quadratic scan needed about 45 s here.
        result = self.run_tolvane("tplnames20000.xml", text=text, timeout=30)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        workbooks = result.documents(".xlsx")
        self.assertEqual(len(workbooks), 1)
        # The filled groups add their own names.
        self.assertLessEqual(defined_names(template), defined_names(workbooks[0]))

    def test_names_repro_keeps_every_name(self):
        result = self.run_repro("spreadsheet/names-4000", timeout=30)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        workbooks = result.documents(".xlsx")
        self.assertEqual(len(workbooks), 1)
        self.assertEqual(defined_names(workbooks[0]), defined_names(REPROS_DIR / "spreadsheet" / "names-4000.xlsx"))


if __name__ == "__main__":
    unittest.main()
