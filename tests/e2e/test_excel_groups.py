"""Spreadsheet filling end to end: single values, properties, and grouped
record blocks, each case on a template made for it, checked with openpyxl.

The group templates lay a block out as the program expects: grouping fields
on the first rows, the detail row second to last, an empty last row."""

import datetime
import unittest

import openpyxl

from excel_e2e import ERRORWORD, ExcelRuns, custom_properties, data_text, defined_names, records
from tolvane_e2e import PERCENT, STATUS_LINE

REGION_CELLS = {"A1": "Date:", "B1": "(date)", "A3": "(region)", "B4": "Amount", "B5": 0,
                "A7": "Total", "B7": "=SUM(B3:B6)"}


def region_names(group="VeskGroupRegions"):
    return {"ReportDate": "Report!$B$1", "Region": "Report!$A$3", "Amount": "Report!$B$5",
            group: "Report!$A$3:$C$6"}


class GroupedRecords(ExcelRuns, unittest.TestCase):
    def test_the_data_format_example_groups_north_north_south(self):
        template = self.template(REGION_CELLS, region_names(), formats={"B5": "0"})
        fields = ("<ReportDate>2004-05-01</ReportDate>"
                  + records("Region", ["North", "North", "South"])
                  + records("Amount", [120, 80, 45], grouping=False))
        result, workbooks = self.fill(template, fields, sql="<SQL>query text of the producing application</SQL>")
        workbook = self.only_workbook(result, workbooks)
        sheet = workbook["Report"]
        # The date is the element's own text, stored as a date.
        self.assertEqual(sheet["B1"].value, datetime.datetime(2004, 5, 1))
        self.assertTrue(sheet["B1"].is_date)
        self.assertEqual(self.column(sheet, "A", 3, 12),
                         ["North", None, None, None, None, "South", None, None, None, "Total"])
        self.assertEqual(self.column(sheet, "B", 3, 12),
                         [None, "Amount", 120, 80, None, None, "Amount", 45, None, "=SUM(B3:B11)"])
        self.assertEqual(sheet["B6"].number_format, "0")
        names = defined_names(workbook)
        self.assertEqual(names["VeskSubGroupRegions.0"], "Report!$3:$5")
        self.assertEqual(names["VeskSubGroupRegions.1"], "Report!$8:$10")
        properties = custom_properties(result.documents(".xlsx")[0])
        self.assertEqual(properties["Template"], ("lpwstr", "report.xltx"))
        self.assertEqual(properties["QueryString0"], ("lpwstr", "query text of the producing application"))
        self.assertEqual(properties["VeskGroupRegions"], ("i4", "4"))

    def test_values_b_a_b_are_written_as_one_heading_a_and_one_heading_b(self):
        template = self.template(REGION_CELLS, region_names("VeskGroupRegionsOfTheWorld"))
        fields = records("Region", ["B", "A", "B"]) + records("Amount", [1, 2, 3], grouping=False)
        workbook = self.only_workbook(*self.fill(template, fields))
        sheet = workbook["Report"]
        self.assertEqual(self.column(sheet, "A", 3, 11), ["A", None, None, None, "B", None, None, None, None])
        self.assertEqual(self.column(sheet, "B", 3, 12),
                         [None, "Amount", 2, None, None, "Amount", 1, 3, None, "=SUM(B3:B11)"])
        # Nine characters of the group name's suffix at most.
        self.assertEqual(sorted(n for n in defined_names(workbook) if n.startswith("VeskSub")),
                         ["VeskSubGroupRegionsOf.0", "VeskSubGroupRegionsOf.1"])

    def test_two_grouping_fields_on_one_row_share_the_heading_block(self):
        cells = {"A3": "(outer)", "B3": "(inner)", "B4": "Amount", "C5": 0, "B7": "Total", "C7": "=SUM(C3:C6)"}
        names = {"Outer": "Report!$A$3", "Inner": "Report!$B$3", "Amount": "Report!$C$5",
                 "VeskGroupPairs": "Report!$A$3:$C$6"}
        fields = (records("Outer", ["X", "Y"]) + records("Inner", ["p", "q"])
                  + records("Amount", [1, 2], grouping=False))
        workbook = self.only_workbook(*self.fill(self.template(cells, names), fields))
        sheet = workbook["Report"]
        rows = [tuple(sheet.cell(r, c).value for c in range(1, 4)) for r in range(3, 12)]
        self.assertEqual(rows, [("X", "p", None), (None, "Amount", None), (None, None, 1), (None, None, None),
                                ("Y", "q", None), (None, "Amount", None), (None, None, 2), (None, None, None),
                                (None, "Total", "=SUM(C3:C10)")])
        self.assertEqual(sorted(n for n in defined_names(workbook) if n.startswith("VeskSub")),
                         ["VeskSubGroupPairs.0", "VeskSubGroupPairs.1"])

    def test_inner_field_changing_under_an_unchanged_outer_one_repeats_only_its_rows(self):
        cells = {"A3": "(outer)", "B4": "(inner)", "C5": "Amount", "C6": 0, "B8": "Total", "C8": "=SUM(C3:C7)"}
        names = {"Outer": "Report!$A$3", "Inner": "Report!$B$4", "Amount": "Report!$C$6",
                 "VeskGroupNested": "Report!$A$3:$C$7"}
        fields = (records("Outer", ["X", "X"]) + records("Inner", ["p", "q"])
                  + records("Amount", [1, 2], grouping=False))
        workbook = self.only_workbook(*self.fill(self.template(cells, names), fields))
        sheet = workbook["Report"]
        self.assertEqual(self.column(sheet, "A", 3, 11), ["X"] + [None] * 8)
        self.assertEqual(self.column(sheet, "B", 3, 12), [None, "p", None, None, None, "q", None, None, None, "Total"])
        self.assertEqual(self.column(sheet, "C", 3, 12),
                         [None, None, "Amount", 1, None, None, "Amount", 2, None, "=SUM(C3:C11)"])
        self.assertEqual(defined_names(workbook)["VeskSubGroupNested.1"], "Report!$8:$10")

    def test_detail_field_of_five_records_gets_four_copies_of_its_row_inside_the_sum(self):
        cells = {"A3": "Item", "B4": 0, "A6": "Total", "B6": "=SUM(B3:B5)"}
        names = {"Qty": "Report!$B$4", "VeskGroupList": "Report!$A$3:$B$5"}
        fields = records("Qty", [5, 4, 3, 2, 1], grouping=False)
        workbook = self.only_workbook(*self.fill(self.template(cells, names, formats={"B4": "0.0"}), fields))
        sheet = workbook["Report"]
        self.assertEqual(self.column(sheet, "B", 4, 10), [5, 4, 3, 2, 1, None, "=SUM(B3:B9)"])
        self.assertEqual([sheet[f"B{r}"].number_format for r in range(4, 9)], ["0.0"] * 5)
        self.assertEqual(defined_names(workbook)["VeskSubGroupList.0"], "Report!$3:$4")

    def test_detail_value_of_911_characters_is_written_whole(self):
        cells = {"A3": "Notes", "B4": "(note)"}
        names = {"Note": "Report!$B$4", "VeskGroupNotes": "Report!$A$3:$B$5"}
        long_text = "x" * 905 + " long"
        self.assertEqual(len(long_text), 910)
        fields = records("Note", ["short", long_text + "!", long_text], grouping=False)
        workbook = self.only_workbook(*self.fill(self.template(cells, names), fields))
        sheet = workbook["Report"]
        self.assertEqual(self.column(sheet, "B", 4, 6), ["short", long_text + "!", long_text])

    def test_lower_group_is_shifted_by_the_rows_the_upper_group_added(self):
        cells = {"A3": "(region)", "B4": "Amount", "B5": 0, "A8": "Qty", "B9": 0}
        names = {"Region": "Report!$A$3", "Amount": "Report!$B$5", "Qty": "Report!$B$9",
                 "VeskGroupA": "Report!$A$3:$B$6", "VeskGroupB": "Report!$A$8:$B$10"}
        fields = (records("Region", ["North", "South"]) + records("Amount", [1, 2], grouping=False)
                  + records("Qty", [7, 8, 9], grouping=False))
        result, workbooks = self.fill(self.template(cells, names), fields)
        sheet = self.only_workbook(result, workbooks)["Report"]
        self.assertEqual(self.column(sheet, "A", 3, 12), ["North", None, None, None, "South"] + [None] * 4 + ["Qty"])
        self.assertEqual(self.column(sheet, "B", 13, 16), [7, 8, 9, None])
        names = defined_names(workbooks[0])
        self.assertEqual(names["VeskSubGroupB.0"], "Report!$12:$13")
        self.assertEqual(names["VeskGroupB"], "Report!$A$12:$B$16")
        properties = custom_properties(result.documents(".xlsx")[0])
        self.assertEqual((properties["VeskGroupA"], properties["VeskGroupB"]), (("i4", "4"), ("i4", "3")))

    def test_record_field_on_another_sheet_is_not_part_of_the_group(self):
        cells = dict(REGION_CELLS, **{"Other!B4": "(note)"})
        names = dict(region_names(), Note="Other!$B$4")
        fields = (records("Region", ["North", "North"]) + records("Amount", [1, 2], grouping=False)
                  + records("Note", ["a", "b"], grouping=False))
        workbook = self.only_workbook(*self.fill(self.template(cells, names, sheets=("Report", "Other")), fields))
        self.assertEqual(self.column(workbook["Report"], "B", 5, 6), [1, 2])
        self.assertEqual(self.column(workbook["Other"], "B", 4, 5), ["(note)", None])


class ValuesAndProperties(ExcelRuns, unittest.TestCase):
    def test_write_only_cell_is_not_written(self):
        cells = {"A1": "Title", "B1": "(title)", "B2": "(author)"}
        names = {"Title": "Report!$B$1", "Author": "Report!$B$2"}
        template = self.template(cells, names, comments={"B2": "Write-only: the add-in fills it"})
        workbook = self.only_workbook(*self.fill(template, "<Title>Sales</Title><Author><v>Someone</v></Author>"))
        self.assertEqual(workbook["Report"]["B1"].value, "Sales")
        self.assertEqual(workbook["Report"]["B2"].value, "(author)")

    def test_query_texts_are_stored_in_pieces_of_256_bytes_across_sql_elements(self):
        template = self.template({"A1": "x"}, {})
        sql = "<SQL>" + "a" * 256 + "b" * 44 + "</SQL><SQL>" + "c" * 10 + "</SQL>"
        result, workbooks = self.fill(template, "", sql=sql)
        self.only_workbook(result, workbooks)
        properties = custom_properties(result.documents(".xlsx")[0])
        self.assertEqual([properties[f"QueryString{n}"][1] for n in range(3)], ["a" * 256, "b" * 44, "c" * 10])
        self.assertNotIn("QueryString3", properties)

    def test_numbers_and_dates_become_values_in_formatted_cells(self):
        cells = {"B1": "(n)", "B2": "(d)", "B3": "(t)", "B4": "=B1*2"}
        names = {"Number": "Report!$B$1", "Day": "Report!$B$2", "Text": "Report!$B$3"}
        template = self.template(cells, names, formats={"B1": "#,##0.00", "B3": "@"})
        fields = "<Number>1234.5</Number><Day>3/15/2024</Day><Text>00123</Text>"
        sheet = self.only_workbook(*self.fill(template, fields))["Report"]
        self.assertEqual(sheet["B1"].value, 1234.5)
        self.assertEqual(sheet["B1"].number_format, "#,##0.00")
        self.assertEqual(sheet["B2"].value, datetime.datetime(2024, 3, 15))
        self.assertEqual(sheet["B3"].value, "00123")
        self.assertEqual(sheet["B4"].value, "=B1*2")


class Workbooks(ExcelRuns, unittest.TestCase):
    def test_each_document_element_gives_a_workbook_named_on_the_status_line(self):
        template = self.template({"B1": "(title)"}, {"Title": "Report!$B$1"})
        result, workbooks = self.fill(template, "", documents=[("", "<Title>One</Title>"), ("", "<Title>Two</Title>")])
        self.assertEqual(result.boxes, [])
        self.assertEqual([p.name for p in result.documents(".xlsx")], ["report1.xlsx", "report2.xlsx"])
        self.assertEqual([w["Report"]["B1"].value for w in workbooks], ["One", "Two"])
        self.assertIn("Filling report1", result.texts(STATUS_LINE))
        self.assertIn("Filling report2", result.texts(STATUS_LINE))

    def test_cancel_during_the_first_workbook_shows_it_unfilled_and_builds_no_more(self):
        template = self.template({"B1": "(title)"}, {"Title": "Report!$B$1"})
        text = data_text(template, [("", "<Title>One</Title>"), ("", "<Title>Two</Title>")])
        result = self.run_tolvane(text=text, cancel_at="Filling report1")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.texts(PERCENT)[-1], "100%")
        self.assertEqual([p.name for p in result.documents(".xlsx")], ["report1.xlsx"])
        workbook = openpyxl.load_workbook(result.documents(".xlsx")[0])
        self.assertEqual(workbook["Report"]["B1"].value, "(title)")

    def test_empty_template_is_reported_as_ref_1_and_writes_nothing(self):
        result, workbooks = self.fill("", "<Title>One</Title>")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual([(b.caption, b.text) for b in result.boxes], [("Message", ERRORWORD + "(ref:1)")])
        self.assertEqual(workbooks, [])

    def test_grouping_field_with_fewer_records_than_numrecords_is_ref_2(self):
        template = self.template(REGION_CELLS, region_names())
        fields = records("Region", ["North", "South"], count=3) + records("Amount", [1, 2, 3], grouping=False)
        result, workbooks = self.fill(template, fields)
        self.assertEqual(result.exit_code, 0)
        self.assertEqual([(b.caption, b.text) for b in result.boxes], [("Message", ERRORWORD + "(ref:2)")])
        # A run with a data error leaves the application hidden: nothing is presented.
        self.assertEqual(workbooks, [])


if __name__ == "__main__":
    unittest.main()
