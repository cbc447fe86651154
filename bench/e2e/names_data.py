"""Makes the defined-names benchmark's template and data: a workbook with N
defined names, each on a cell below a small grouped block (so every row
inserted into the block moves them), one single-value field and one group of
ten records."""
from pathlib import Path

import openpyxl
from openpyxl.workbook.defined_name import DefinedName

GROUP_RECORDS = 10


def make_template(path: Path, count: int) -> None:
    workbook = openpyxl.Workbook()
    sheet = workbook.active
    sheet.title = "Report"
    sheet["A1"], sheet["B1"] = "Greeting:", "(greeting)"
    sheet["A3"] = "(region)"
    sheet["B4"] = 0
    sheet["A6"] = "Total"
    sheet["B6"] = "=SUM(B3:B5)"
    names = {"Greeting": "Report!$B$1", "Region": "Report!$A$3", "Amount": "Report!$B$4",
             "VeskGroupRegions": "Report!$A$3:$C$5"}
    names.update({f"Nm{n}": f"Report!$D${8 + n % 50}" for n in range(count)})
    for name, reference in names.items():
        workbook.defined_names.append(DefinedName(name, attr_text=reference))
    workbook.template = True
    workbook.save(path)


def make_data(path: Path, template: Path) -> None:
    regions = "".join(f"<v>Region {n // 4}</v>" for n in range(GROUP_RECORDS))
    amounts = "".join(f"<v>{n * 10}</v>" for n in range(GROUP_RECORDS))
    path.write_text(
        "<?xml version='1.0' encoding='UTF-8'?><export><META>"
        f"<TEMPLATE TYPE='2'>{template}</TEMPLATE><TITLE>Names</TITLE><CANCEL>Cancel</CANCEL>"
        "<INITIALIZE>Starting</INITIALIZE><PROGRESS>Filling %1$s</PROGRESS><ERRORWORD>Incomplete</ERRORWORD>"
        "</META><DOCUMENTS><report><FIELDS><Greeting>Hello</Greeting>"
        f"<Region NUMRECORDS='{GROUP_RECORDS}'>{regions}</Region>"
        f"<Amount NUMRECORDS='{GROUP_RECORDS}' GROUPBY='0'>{amounts}</Amount>"
        "</FIELDS></report></DOCUMENTS></export>\n", encoding="utf-8")
