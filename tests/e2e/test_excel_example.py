"""The bundled spreadsheet example: examples/sales.xltx filled from
examples/sales.xml, as examples/README.md describes the result."""

import unittest

import openpyxl

from excel_e2e import custom_properties, defined_names, today
from tolvane_e2e import SOURCE_DIR, STATUS_LINE, TemporaryRuns


class SalesExample(TemporaryRuns, unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.source = (SOURCE_DIR / "examples" / "sales.xml").read_text(encoding="utf-8")

    def setUp(self):
        self.result = self.run_tolvane(text=self.source)
        self.assertEqual(self.result.exit_code, 0)
        self.assertEqual(self.result.boxes, [])
        [self.path] = self.result.documents(".xlsx")
        self.workbook = openpyxl.load_workbook(self.path)
        self.sales = self.workbook["Sales"]

    def rows(self, first, last):
        return [tuple(self.sales.cell(r, c).value for c in range(1, 6)) for r in range(first, last + 1)]

    def test_records_are_grouped_by_country_then_city(self):
        self.assertEqual(self.rows(6, 28), [
            ("Norway", None, None, None, None),
            (None, "Bergen", None, None, None),
            (None, None, "Sea kayak", 2, 1780),
            (None, None, "Dry bag 20 l", 15, 367.5),
            (None, None, "Carbon paddle", 7, 623.35),
            (None, None, None, None, None),
            (None, "Oslo", None, None, None),
            (None, None, "Carbon paddle", 10, 890.5),
            (None, None, "Sea kayak", 4, 3560),
            (None, None, "Life jacket", 12, 718.8),
            (None, None, None, None, None),
            ("Portugal", None, None, None, None),
            (None, "Lisbon", None, None, None),
            (None, None, "Dry bag 20 l", 25, 612.5),
            (None, None, "Carbon paddle", 6, 534.3),
            (None, None, "Sea kayak", 1, 890),
            (None, None, None, None, None),
            (None, "Porto", None, None, None),
            (None, None, "Sea kayak", 3, 2670),
            (None, None, "Life jacket", 8, 479.2),
            (None, None, "Dry bag 20 l", 20, 490),
            (None, None, None, None, None),
            (None, None, "Total", "=SUM(D6:D27)", "=SUM(E6:E27)"),
        ])

    def test_totals_cover_numbers_in_formatted_cells(self):
        units = [self.sales[f"D{r}"].value for r in range(6, 28) if self.sales[f"D{r}"].value is not None]
        revenue = [self.sales[f"E{r}"].value for r in range(6, 28) if self.sales[f"E{r}"].value is not None]
        self.assertEqual(sum(units), 113)
        self.assertAlmostEqual(sum(revenue), 13616.15, places=2)
        for row in (8, 15, 26):
            self.assertEqual(self.sales[f"D{row}"].number_format, "0")
            self.assertEqual(self.sales[f"E{row}"].number_format, "#,##0.00")

    def test_single_values_and_the_write_only_cell(self):
        self.assertEqual(self.sales["B2"].value, "January to March 2024")
        self.assertEqual(self.sales["B3"].value, "(set by the add-in)")
        self.assertEqual(self.workbook["Info"]["B3"].value, "Web shop export, 2 April 2024")

    def test_sub_group_names_and_document_properties(self):
        names = defined_names(self.workbook)
        self.assertEqual(sorted(n for n in names if n.startswith("VeskSubGroup")),
                         [f"VeskSubGroupSales.{n}" for n in range(4)])
        self.assertEqual(names["VeskGroupSales"], "Sales!$A$6:$E$27")
        properties = custom_properties(self.path)
        self.assertEqual(sorted(properties), ["Generated", "QueryString0", "Template", "VeskGroupSales"])
        # The template path is a Linux path: the name after its last "/".
        self.assertEqual(properties["Template"], ("lpwstr", "sales.xltx"))
        self.assertEqual(properties["Generated"], ("lpwstr", today()))
        self.assertTrue(properties["QueryString0"][1].startswith("SELECT s.country, s.city"))
        self.assertEqual(properties["VeskGroupSales"], ("i4", "4"))

    def test_status_line_names_the_workbook(self):
        self.assertIn("Filling sales1", self.result.texts(STATUS_LINE))
        self.assertEqual(self.path.name, "sales1.xlsx")


if __name__ == "__main__":
    unittest.main()
