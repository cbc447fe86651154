"""The bundled word-processor example, end to end, checked with python-docx."""

import unittest

from tolvane_e2e import SOURCE_DIR, STATUS_LINE, TemporaryRuns, docx_texts


class InvoiceExample(TemporaryRuns, unittest.TestCase):
    def test_two_invoices_with_repeated_rows_and_paragraphs(self):
        result = self.run_tolvane(SOURCE_DIR / "examples" / "invoice.xml")
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


if __name__ == "__main__":
    unittest.main()
