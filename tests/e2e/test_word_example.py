"""The bundled word-processor example, end to end, checked with python-docx."""

import pathlib
import shutil
import tempfile
import unittest
import zipfile

from tolvane_e2e import SOURCE_DIR, STATUS_LINE, TemporaryRuns, docx_texts

STRICT_NAMES = {
    "http://schemas.openxmlformats.org/wordprocessingml/2006/main":
        "http://purl.oclc.org/ooxml/wordprocessingml/main",
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships":
        "http://purl.oclc.org/ooxml/officeDocument/relationships",
}


def strict_copy(template, folder):
    """The template with its main namespaces and relationship types in the Strict form."""
    target = folder / template.name
    with zipfile.ZipFile(template) as source, zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as out:
        for item in source.infolist():
            data = source.read(item)
            if item.filename.endswith((".xml", ".rels")):
                text = data.decode("utf-8")
                for transitional, strict in STRICT_NAMES.items():
                    text = text.replace(transitional, strict)
                text = text.replace("<w:document ", '<w:document w:conformance="strict" ', 1)
                data = text.encode("utf-8")
            out.writestr(item, data)
    return target


class InvoiceExample(TemporaryRuns, unittest.TestCase):
    def test_two_invoices_with_repeated_rows_and_paragraphs(self):
        self.check_invoices(SOURCE_DIR / "examples" / "invoice.xml")

    def test_a_strict_template_fills_and_is_written_transitional(self):
        folder = pathlib.Path(tempfile.mkdtemp(prefix="tolvane-strict-"))
        self.addCleanup(shutil.rmtree, folder, True)
        strict_copy(SOURCE_DIR / "examples" / "invoice.dotx", folder)
        data = (SOURCE_DIR / "examples" / "invoice.xml").read_text(encoding="utf-8")
        data_path = folder / "invoice.xml"
        data_path.write_text(data.replace("@EXAMPLES@", str(folder)), encoding="utf-8")
        first, _ = self.check_invoices(data_path)
        with zipfile.ZipFile(first) as written:
            for name in written.namelist():
                self.assertNotIn(b"purl.oclc.org", written.read(name), name)

    def check_invoices(self, data):
        result = self.run_tolvane(data)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.texts(STATUS_LINE)[-2:], ["Filling Document1", "Filling Document2"])
        first, second = result.documents()

        lines = docx_texts(first)
        self.assertEqual(lines[0], "Invoice 2024-0117 of 15 March 2024")
        self.assertEqual(lines[1:4], ["Harbour Lights Ltd", "12 Quay Road", "Bristol BS1 4QA"])
        rows = [line for line in lines if "\t" in line]
        self.assertEqual(rows, [
            "Pos\tDescription\tQuantity\tUnit price\tAmount",
            "1\tOak shelf, 80 cm\t2\t45.00\t90.00",
            "2\tWall brackets (set of 4)\t4\t7.50\t30.00",
            "3\tScrews & wall plugs <6 mm>\t1\t3.20\t3.20",
        ])
        self.assertIn("Total: 123.20", lines)
        notes = [line for line in lines if line.startswith("Note: ")]
        self.assertEqual(notes, ["Note: Delivered on one pallet; please call ahead.",
                                 "Note: The brackets follow in a separate parcel."])
        self.assertEqual(lines[-1], "Thank you for your order.")

        lines = docx_texts(second)
        self.assertEqual([line for line in lines if "\t" in line][1:],
                         ["1\tReading lamp, brass\t1\t64.90\t64.90"])
        self.assertEqual([line for line in lines if line.startswith("Note: ")],
                         ["Note: Paid by card; nothing left to pay."])
        return first, second


if __name__ == "__main__":
    unittest.main()
