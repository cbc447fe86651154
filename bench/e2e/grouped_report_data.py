"""Makes the grouped-report template and data files for the whole-program
benchmark: one grouping field, three detail columns, about 20 records per
group, the records in shuffled order."""
import random
from pathlib import Path

import openpyxl
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import PatternFill
from openpyxl.workbook.defined_name import DefinedName
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.worksheet.hyperlink import Hyperlink

RECORDS_PER_GROUP = 20


def add_copied_ranges(sheet) -> None:
    """A hyperlink, a validation and a conditional format on the detail row,
    which every record copies, and a validation and a conditional format on
    the group heading, which every group copies."""
    sheet["B6"].hyperlink = Hyperlink(ref="B6", location="Report!A1", display="Item")
    fill = PatternFill("solid", start_color="FFEE99")
    for cell, formula in (("C6", "1000"), ("A5", "40")):
        validation = DataValidation(type="whole" if cell == "C6" else "textLength", operator="between",
                                    formula1="0", formula2=formula)
        validation.add(cell)
        sheet.add_data_validation(validation)
    sheet.conditional_formatting.add("D6", CellIsRule(operator="greaterThan", formula=["500"], fill=fill))
    sheet.conditional_formatting.add("A5", CellIsRule(operator="equal", formula=['"Customer 00000"'], fill=fill))


def make_template(path: Path, copied_ranges: bool = False) -> None:
    workbook = openpyxl.Workbook()
    sheet = workbook.active
    sheet.title = "Report"
    sheet["A1"] = "Grouped report"
    sheet["A2"], sheet["B2"] = "Period:", "(period)"
    for column, head in zip("ABCD", ("Customer", "Item", "Quantity", "Price")):
        sheet[f"{column}4"] = head
    sheet["A5"] = "(customer)"
    sheet["B6"], sheet["C6"], sheet["D6"] = "Item", 0, 0
    sheet["C6"].number_format = "0"
    sheet["D6"].number_format = "#,##0.00"
    sheet["B8"] = "Total"
    sheet["C8"] = "=SUM(C5:C7)"
    sheet["D8"] = "=SUM(D5:D7)"
    if copied_ranges:
        add_copied_ranges(sheet)
    names = {
        "Period": "Report!$B$2",
        "Customer": "Report!$A$5",
        "Item": "Report!$B$6",
        "Quantity": "Report!$C$6",
        "Price": "Report!$D$6",
        "VeskGroupReport": "Report!$A$5:$D$7",
    }
    for name, reference in names.items():
        workbook.defined_names.append(DefinedName(name, attr_text=reference))
    workbook.template = True
    workbook.save(path)


def make_data(path: Path, template: Path, records: int, seed: int = 7) -> None:
    rng = random.Random(seed)
    groups = max(1, records // RECORDS_PER_GROUP)
    rows = [(f"Customer {rng.randrange(groups):05d}", f"Item {n}", rng.randint(1, 50),
             f"{rng.randint(100, 99999) / 100:.2f}") for n in range(records)]

    def field(name: str, values, grouping: bool) -> str:
        attributes = f" NUMRECORDS='{records}'" + ("" if grouping else " GROUPBY='0'")
        return f"<{name}{attributes}>" + "".join(f"<v>{v}</v>" for v in values) + f"</{name}>"

    with path.open("w", encoding="utf-8") as out:
        out.write("<?xml version='1.0' encoding='UTF-8'?>\n<export><META>")
        out.write(f"<TEMPLATE TYPE='2'>{template}</TEMPLATE><TITLE>Benchmark</TITLE>"
                  "<CANCEL>Cancel</CANCEL><INITIALIZE>Starting</INITIALIZE>"
                  "<PROGRESS>Filling %1$s</PROGRESS><ERRORWORD>Incomplete</ERRORWORD>")
        out.write("</META><DOCUMENTS><report><SQL>SELECT customer, item, quantity, price FROM orders</SQL><FIELDS>")
        out.write("<Period>Benchmark period</Period>")
        out.write(field("Customer", (r[0] for r in rows), True))
        out.write(field("Item", (r[1] for r in rows), False))
        out.write(field("Quantity", (r[2] for r in rows), False))
        out.write(field("Price", (r[3] for r in rows), False))
        out.write("</FIELDS></report></DOCUMENTS></export>\n")
