"""Word-processor templates as users make them, end to end: content controls,
nested and adjacent tables, a field result across a paragraph mark, notes,
comments and ids in repeated copies. Each reproduction of the shared folder is
filled by the program and read back with python-docx and, when installed,
with LibreOffice's text export."""

import pathlib
import shutil
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zipfile

import docx
from docx.oxml.ns import qn

from tolvane_e2e import repro_data, run

CASES = ["sdt_para_copies_lost", "sdt_table_copies_lost", "sdt_row_copies_misplaced",
         "nested_row_copies_to_outer", "adjacent_tables_gap", "multipara_result_refused",
         "footnote_ref_duplicated", "comment_ref_duplicated", "unique_ids_duplicated"]

W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"
OTHER_STORIES = {W + "txbxContent", "{http://schemas.openxmlformats.org/markup-compatibility/2006}Fallback"}


def visible_children(element):
    """Children of element with content controls seen through."""
    for child in element:
        if child.tag == qn("w:sdt"):
            content = child.find(qn("w:sdtContent"))
            if content is not None:
                yield from visible_children(content)
        else:
            yield child


def paragraph_text(paragraph):
    parts = []

    def walk(element):
        for child in element:
            if child.tag in OTHER_STORIES:
                continue
            if child.tag == qn("w:t"):
                parts.append(child.text or "")
            walk(child)

    walk(paragraph)
    return "".join(parts)


def lines(container):
    """The text of a body or cell: one line per paragraph, a table row as its
    cells joined by TAB, a cell's own lines joined by '|'."""
    for child in visible_children(container):
        if child.tag == qn("w:p"):
            yield paragraph_text(child)
        elif child.tag == qn("w:tbl"):
            yield from table_lines(child)


def table_lines(table):
    for row in visible_children(table):
        if row.tag == qn("w:tr"):
            yield "\t".join("|".join(lines(cell)) for cell in visible_children(row) if cell.tag == qn("w:tc"))


def body(path):
    return docx.Document(str(path)).element.body


def part_root(path, name):
    with zipfile.ZipFile(path) as package:
        return ElementTree.fromstring(package.read(name))


def data_values(case):
    root = ElementTree.fromstring(repro_data("wordprocessor/" + case))
    return [value.text for field in root.iter("FIELDS") for element in field for value in element if value.text]


class Repros(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        """Each reproduction runs once; the tests read what it wrote."""
        cls.folder = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-e2e-"))
        cls.results = {case: run(case + ".xml", text=repro_data("wordprocessor/" + case), workdir=cls.folder / case)
                       for case in CASES}

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder, True)

    def fill(self, case):
        result = self.results[case]
        self.assertEqual(result.exit_code, 0, result.stderr)
        self.assertEqual(result.boxes, [])
        documents = result.documents()
        self.assertEqual(len(documents), 1)
        return documents[0]

    def test_a_paragraph_in_a_content_control_repeats_inside_it(self):
        document = self.fill("sdt_para_copies_lost")
        self.assertEqual(list(lines(body(document))), ["Head", "R: r1", "R: r2", "R: r3", "tail"])
        control = body(document).find(qn("w:sdt"))
        self.assertEqual(len(control.find(qn("w:sdtContent")).findall(qn("w:p"))), 3)

    def test_a_table_in_a_content_control_gets_its_rows_and_no_stray_paragraph(self):
        document = self.fill("sdt_table_copies_lost")
        self.assertEqual(list(lines(body(document))), ["H", "a1", "a2", "a3", "after"])
        content = body(document).find(qn("w:sdt")).find(qn("w:sdtContent"))
        self.assertEqual([child.tag for child in content], [qn("w:tbl")])

    def test_copies_of_a_row_in_a_row_control_come_before_the_next_row(self):
        document = self.fill("sdt_row_copies_misplaced")
        self.assertEqual(list(lines(body(document)))[:5], ["H", "a1", "a2", "a3", "Total"])

    def test_a_nested_row_repeats_in_its_own_table(self):
        document = self.fill("nested_row_copies_to_outer")
        outer = body(document).find(qn("w:tbl"))
        self.assertEqual(len(outer.findall(qn("w:tr"))), 2)
        inner = outer.findall(qn("w:tr"))[1].find(qn("w:tc")).find(qn("w:tbl"))
        self.assertEqual(list(table_lines(inner)), ["i1", "i2", "i3"])

    def test_rows_after_the_first_of_two_adjacent_tables_keep_them_together(self):
        document = self.fill("adjacent_tables_gap")
        self.assertEqual([child.tag for child in body(document)],
                         [qn("w:tbl"), qn("w:tbl"), qn("w:p"), qn("w:sectPr")])
        self.assertEqual(list(lines(body(document))), ["h1", "a1", "a2", "h2", "end"])

    def test_a_field_whose_result_spans_a_paragraph_mark_is_replaced_whole(self):
        document = self.fill("multipara_result_refused")
        self.assertEqual(list(lines(body(document))), ["MP: joined after"])

    def test_each_copy_gets_its_own_footnote(self):
        document = self.fill("footnote_ref_duplicated")
        self.assertEqual(list(lines(body(document))), ["Claim: s1", "Claim: s2", "end"])
        references = [r.get(qn("w:id")) for r in body(document).iter(qn("w:footnoteReference"))]
        self.assertEqual(len(set(references)), 2)
        notes = {note.get(W + "id"): note for note in part_root(document, "word/footnotes.xml")}
        texts = {paragraph_text(notes[reference]) for reference in references}
        self.assertEqual(len(texts), 1)
        bookmarks = [b.get(W + "name") for b in part_root(document, "word/footnotes.xml").iter(W + "bookmarkStart")]
        self.assertEqual(len(bookmarks), len(set(bookmarks)))

    def test_each_copy_gets_its_own_comment(self):
        document = self.fill("comment_ref_duplicated")
        comments = {c.get(W + "id"): paragraph_text(c) for c in part_root(document, "word/comments.xml")}
        for kind in ("commentRangeStart", "commentRangeEnd", "commentReference"):
            ids = [mark.get(qn("w:id")) for mark in body(document).iter(qn("w:" + kind))]
            self.assertEqual(len(set(ids)), 2, kind)
            self.assertTrue(all(comments.get(i) == "check this" for i in ids))

    def test_drawing_revision_and_control_ids_are_unique(self):
        document = self.fill("unique_ids_duplicated")
        root = body(document)
        drawings = [e.get("id") for e in root.iter("{http://schemas.openxmlformats.org/drawingml/2006/"
                                                    "wordprocessingDrawing}docPr")]
        self.assertEqual(len(drawings), 2)
        self.assertEqual(len(set(drawings)), 2)
        annotations = [e.get(qn("w:id")) for e in root.iter() if e.get(qn("w:id")) is not None]
        self.assertEqual(len(annotations), len(set(annotations)))
        self.assertEqual([line for line in lines(root) if line.startswith(("Row", "Rev"))],
                         ["Row: d1", "Row: d2", "Rev: e1", "Rev: e2"])

    def test_every_value_of_every_reproduction_is_in_its_document_in_order(self):
        for case in CASES:
            with self.subTest(case=case):
                text = "\n".join(lines(body(self.fill(case))))
                position = 0
                for value in data_values(case):
                    found = text.find(value, position)
                    self.assertGreaterEqual(found, 0, f"{value} missing or out of order")
                    position = found + len(value)

    def test_libreoffice_reads_every_value(self):
        soffice = shutil.which("soffice")
        if not soffice:
            print("LibreOffice text export skipped: soffice is not on PATH")
            self.skipTest("soffice is not on PATH")
        folder = self.folder / "libreoffice"
        folder.mkdir()
        documents = []
        for case in CASES:
            documents.append(folder / (case + ".docx"))
            shutil.copy(self.fill(case), documents[-1])
        subprocess.run([soffice, f"-env:UserInstallation=file://{folder}/profile", "--headless",
                        "--convert-to", "txt:Text", "--outdir", str(folder), *map(str, documents)],
                       capture_output=True, timeout=240, check=True)
        for case in CASES:
            with self.subTest(case=case):
                text = (folder / (case + ".txt")).read_text(encoding="utf-8-sig")
                for value in data_values(case):
                    self.assertIn(value, text)

if __name__ == "__main__":
    unittest.main()
