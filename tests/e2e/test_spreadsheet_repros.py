"""Workbooks from the real world, end to end: the shared reproductions of
what they did wrong, each read back with openpyxl (and recalculated in
LibreOffice where it is installed)."""

import re
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile
from pathlib import Path

import openpyxl

from tolvane_e2e import REPROS_DIR, TemporaryRuns

MAX_ROW = 1048576
CELL = re.compile(r"\$?([A-Z]{1,3})\$?(\d+)")


def parts(path):
    with zipfile.ZipFile(path) as package:
        return {name: package.read(name) for name in package.namelist() if not name.endswith("/")}


def template(case):
    name = Path(case).name
    return next(REPROS_DIR.joinpath("spreadsheet").glob(name + ".xls?"))


def row_of(reference):
    return int(CELL.search(reference).group(2))


class SpreadsheetRepros(TemporaryRuns, unittest.TestCase):

    def show(self, case, suffix=".xlsx", load=True):
        """Runs the case, expects no message, and returns the one workbook it
        wrote, checked as a package and (unless openpyxl cannot read the
        template either) opened with openpyxl."""
        result = self.run_repro("spreadsheet/" + case)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [], result.stderr)
        documents = result.documents(suffix)
        self.assertEqual(len(documents), 1, result.stdout)
        self.check_package(documents[0])
        self.keep_for_recalculation(documents[0])
        if not load:
            return documents[0], None
        return documents[0], openpyxl.load_workbook(documents[0], keep_vba=suffix == ".xlsm")

    def check_package(self, path):
        """Every XML part parses with namespaces; every relationship target exists."""
        contents = parts(path)
        for name, data in contents.items():
            if name.endswith((".xml", ".rels")):
                try:
                    ET.fromstring(data)
                except ET.ParseError as error:
                    self.fail(f"{name} of {path.name}: {error}")
        for name, data in contents.items():
            if not name.endswith(".rels"):
                continue
            folder = name.rsplit("_rels/", 1)[0]
            for relation in ET.fromstring(data):
                target = relation.get("Target") or ""
                if relation.get("TargetMode") == "External":
                    continue
                resolved = "/".join(_normalise(target if target.startswith("/") else folder + target))
                self.assertIn(resolved.lower(), {n.lower() for n in contents}, f"{name} -> {target}")

    @classmethod
    def setUpClass(cls):
        cls.shown = Path(tempfile.mkdtemp(prefix="tolvane-e2e-shown-"))

    @classmethod
    def tearDownClass(cls):
        """Every workbook the cases showed, opened and recalculated in one
        LibreOffice run (it starts slowly), then read back with openpyxl."""
        try:
            office = shutil.which("soffice")
            if not office:
                print("LibreOffice (soffice) is not on PATH: the workbooks are not recalculated there")
                return
            shown = sorted(cls.shown.glob("*.xls?"))
            converted = cls.shown / "converted"
            subprocess.run([office, f"-env:UserInstallation={(cls.shown / 'profile').as_uri()}", "--headless",
                            "--norestore", "--convert-to", "xlsx", "--outdir", str(converted), *map(str, shown)],
                           capture_output=True, timeout=600, check=True)
            for path in shown:
                result = converted / (path.stem + ".xlsx")
                if not result.exists():
                    raise AssertionError(f"LibreOffice did not open {path.name}")
                openpyxl.load_workbook(result)
        finally:
            shutil.rmtree(cls.shown, True)

    def keep_for_recalculation(self, path):
        shutil.copy(path, self.shown / (self.id().rsplit(".", 1)[-1] + "-" + path.name))

    # Section A: the first campaign.

    def test_inline_strings_of_a_prefixed_sheet_stay_well_formed(self):
        path, book = self.show("inline-prefix")
        self.assertEqual(book.active["A1"].value, "row 1")
        self.assertEqual(book.active["D1"].value, 1)

    def test_string_cells_with_and_without_a_formula_take_the_value(self):
        for case in ("str-no-formula", "str-formula"):
            with self.subTest(case):
                path, book = self.show(case)
                self.assertEqual(book.active["D1"].value, "Hello")
                self.assertEqual(book.active["A2"].value, "row 2")

    def test_a_macro_sheet_as_active_tab_fills_and_shows(self):
        path, book = self.show("macrosheet-active", ".xlsm")
        self.assertIn("Macro1", book.sheetnames)
        self.assertIn("xl/macrosheets/sheet1.xml", parts(path))

    def test_an_empty_last_row_does_not_block_insertion(self):
        path, book = self.show("lastrow-empty")
        sheet = book.active
        self.assertEqual([sheet[f"A{r}"].value for r in (3, 4)], ["Rec 1", "Rec 2"])
        self.assertEqual([sheet[f"B{r}"].value for r in (3, 4)], [1.5, 2.5])
        self.assertEqual(sheet["A6"].value, "row 5")
        self.assertLessEqual(sheet.max_row, MAX_ROW)

    def test_prefixed_content_types_and_empty_values_are_read(self):
        for case in ("ct-prefix", "empty-v"):
            with self.subTest(case):
                path, book = self.show(case)
                self.assertEqual(book.active["B2"].value, "Hello")
                self.assertEqual(book.active["D2"].value, 2)
        self.assertIsNone(book.active["D1"].value)

    def test_a_sheet_entry_without_part_survives(self):
        path, book = self.show("sheet-no-rid")
        self.assertEqual(book["Sheet1"]["B2"].value, "Hello")
        workbook = parts(path)["xl/workbook.xml"].decode()
        self.assertIn('name="Module"', workbook)

    def test_strict_workbook_is_written_transitional(self):
        path, book = self.show("strict-simple")
        for name, data in parts(path).items():
            if name.endswith((".xml", ".rels")):
                self.assertNotIn(b"purl.oclc.org/ooxml", data, name)
                self.assertNotIn(b'conformance="strict"', data, name)
        sheet = book.worksheets[0]
        self.assertEqual([sheet["A1"].value, sheet["A2"].value, sheet["C3"].value], ["test", "test 2", 3])

    # Section D: the second campaign.

    def test_blank_shared_string_cells_stay_blank(self):
        for case, cell, value in (("empty-v-shared", "A2", "ACME Ltd"), ("t-s-no-v", "A1", "x")):
            with self.subTest(case):
                path, book = self.show(case)
                self.assertEqual(book.active[cell].value, value)
                self.assertIsNone(book.active["B2" if case == "empty-v-shared" else "B1"].value)

    def test_a_date_cell_takes_a_text_with_one_type(self):
        path, book = self.show("iso-date-cell")
        self.assertEqual(book.active["B1"].value, "Hello")

    def test_pivot_table_location_moves_with_its_rows(self):
        path, book = self.show("pivot-below-group")
        pivot = parts(path)["xl/pivotTables/pivotTable1.xml"].decode()
        self.assertIn('<location ref="A11:B14"', pivot)

    def test_form_controls_and_their_links_move_with_their_rows(self):
        before = parts(template("checkboxes-below-group"))
        path, book = self.show("checkboxes-below-group", ".xlsm")
        after = parts(path)
        sheet = "xl/worksheets/sheet6.xml"  # Schedule B
        controls = {"xl/" + target.decode().lstrip("./") for target in
                    re.findall(rb'Target="(\.\./ctrlProps/[^"]+)"', before["xl/worksheets/_rels/sheet6.xml.rels"])}
        self.assertTrue(controls)
        moved = 0
        for name in controls:
            data = before[name]
            old = re.search(rb'fmlaLink="([^"]*)"', data)
            new = re.search(rb'fmlaLink="([^"]*)"', after[name])
            if not old or "!" in old.group(1).decode():
                continue
            row = row_of(old.group(1).decode())
            self.assertEqual(row_of(new.group(1).decode()), row + 3 if row >= 30 else row, name)
            moved += row >= 30
        self.assertGreater(moved, 0)
        anchor = re.compile(rb'name="([^"]+)"><controlPr[^>]*><anchor[^>]*><from><xdr:col>\d+</xdr:col>'
                            rb'<xdr:colOff>-?\d+</xdr:colOff><xdr:row>(\d+)</xdr:row>')
        old_rows = {name: int(row) for name, row in anchor.findall(before[sheet])}
        new_rows = {name: int(row) for name, row in anchor.findall(after[sheet])}
        self.assertEqual(old_rows.keys(), new_rows.keys())
        for name, row in old_rows.items():
            self.assertEqual(new_rows[name], row + 3 if row + 1 >= 30 else row, name)

    def test_a_comment_on_the_last_row_never_leaves_the_sheet(self):
        result = self.run_repro("spreadsheet/comment-last-row")
        self.assertEqual(result.exit_code, 0)
        for document in result.documents(".xlsx"):
            self.check_package(document)
            comments = [d for n, d in parts(document).items() if re.match(r"xl/comments\d*\.xml", n)]
            for data in comments:
                for reference in re.findall(rb'<comment ref="([^"]+)"', data):
                    self.assertLessEqual(row_of(reference.decode()), MAX_ROW)
            openpyxl.load_workbook(document)

    def test_a_workbook_part_at_the_root_gains_nothing_unneeded(self):
        before = parts(template("root-workbook"))
        path, _ = self.show("root-workbook", load=False)  # its styles are too short for openpyxl
        after = parts(path)
        added = {name for name in set(after) - set(before) if not name.startswith("docProps/")}
        for name in added:
            self.assertTrue(name.lower().endswith("sharedstrings.xml"), f"{name} was added")
            self.assertNotIn("/", name, "a new part beside the root workbook part")

    def test_writing_a_table_header_renames_the_column(self):
        path, book = self.show("table-header")
        sheet = book.active
        self.assertEqual(sheet["B3"].value, "Product")
        table = sheet.tables["Table1"]
        self.assertEqual(table.tableColumns[0].name, "Product")
        self.assertEqual(table.tableColumns[1].name, "Column2")

    def test_styled_empty_cells_to_the_last_row_do_not_block_insertion(self):
        path, book = self.show("styled-to-last-row")
        names = {name.name: name.attr_text for name in book.defined_names.definedName}
        sheet_name, cell = names["TvDetA"].split("!")
        sheet = book[sheet_name.strip("'")]
        row = row_of(cell)
        column = CELL.search(cell).group(1)
        self.assertEqual([sheet[f"{column}{row + i}"].value for i in range(3)], ["a", "b", "c"])

    def test_validation_lists_on_another_sheet_follow_inserted_rows(self):
        path, book = self.show("dropdown-other-sheet")
        values = book["ValuesSheet"]
        self.assertEqual([values[f"A{r}"].value for r in (2, 3, 4)], ["x", "y", "z"])
        sheet = parts(path)["xl/worksheets/sheet1.xml"].decode()
        self.assertIn("<xm:f>ValuesSheet!$A$1:$A$6</xm:f>", sheet)


def _normalise(path):
    out = []
    for piece in path.split("/"):
        if piece in ("", "."):
            continue
        if piece == "..":
            if out:
                out.pop()
            continue
        out.append(piece)
    return out


if __name__ == "__main__":
    unittest.main()
