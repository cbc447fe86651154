"""Spreadsheet cases end to end: templates made with openpyxl for each case,
data files around the fields, and readers for what the program wrote."""

import datetime
import shutil
import tempfile
import zipfile
from pathlib import Path

import openpyxl
from openpyxl.comments import Comment
from openpyxl.workbook.defined_name import DefinedName

from tolvane_e2e import TemporaryRuns

ERRORWORD = "The workbook is incomplete"


def make_template(path, cells, names, *, sheets=("Report",), comments=None, formats=None):
    """cells and formats map "A1" (first sheet) or "Sheet!A1" to a value or a
    number format; names map a defined name to its reference."""
    workbook = openpyxl.Workbook()
    workbook.active.title = sheets[0]
    for title in sheets[1:]:
        workbook.create_sheet(title)

    def cell(address):
        sheet, _, reference = address.rpartition("!")
        return workbook[sheet or sheets[0]][reference]

    for address, value in cells.items():
        cell(address).value = value
    for address, number_format in (formats or {}).items():
        cell(address).number_format = number_format
    for address, text in (comments or {}).items():
        cell(address).comment = Comment(text, "Author")
    for name, reference in names.items():
        workbook.defined_names.append(DefinedName(name, attr_text=reference))
    workbook.template = True
    workbook.save(path)


def data_text(template, documents):
    """A spreadsheet data file; documents is a list of (sql_elements, fields)."""
    body = "".join(f"<workbook>{sql}<FIELDS>{fields}</FIELDS></workbook>" for sql, fields in documents)
    return ("<?xml version='1.0' encoding='UTF-8'?><export><META>"
            f"<TEMPLATE TYPE='2'>{template}</TEMPLATE><TITLE>Creating workbooks</TITLE>"
            "<CANCEL>Stop</CANCEL><INITIALIZE>Starting the spreadsheet</INITIALIZE>"
            f"<PROGRESS>Filling %1$s</PROGRESS><ERRORWORD>{ERRORWORD}</ERRORWORD></META>"
            f"<DOCUMENTS>{body}</DOCUMENTS></export>")


def records(name, values, grouping=True, count=None):
    count = len(values) if count is None else count
    by = "" if grouping else " GROUPBY='0'"
    return (f"<{name} NUMRECORDS='{count}'{by}>" + "".join(f"<v>{v}</v>" for v in values)
            + f"</{name}>")


def custom_properties(path):
    """Custom document properties as name -> (type, text)."""
    import xml.etree.ElementTree as ET
    with zipfile.ZipFile(path) as package:
        if "docProps/custom.xml" not in package.namelist():
            return {}
        root = ET.fromstring(package.read("docProps/custom.xml"))
    properties = {}
    for prop in root:
        value = prop[0]
        properties[prop.get("name")] = (value.tag.rsplit("}", 1)[-1], value.text or "")
    return properties


def defined_names(workbook):
    return {name.name: name.attr_text for name in workbook.defined_names.definedName}


def today():
    return datetime.date.today().strftime("%m/%d/%y")


class ExcelRuns(TemporaryRuns):
    """Makes a template per test and runs the program on data around it."""

    def template(self, cells, names, **options):
        folder = Path(tempfile.mkdtemp(prefix="tolvane-e2e-template-"))
        self.addCleanup(shutil.rmtree, folder, True)
        path = folder / "report.xltx"
        make_template(path, cells, names, **options)
        return path

    def fill(self, template, fields, *, sql="", documents=None):
        result = self.run_tolvane(text=data_text(template, documents or [(sql, fields)]))
        return result, [openpyxl.load_workbook(p) for p in result.documents(".xlsx")]

    def only_workbook(self, result, workbooks):
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [], result.stderr)
        self.assertEqual(len(workbooks), 1)
        return workbooks[0]

    def column(self, sheet, column, first, last):
        return [sheet[f"{column}{row}"].value for row in range(first, last + 1)]
