#!/usr/bin/python3
"""Reads a workbook the spreadsheet server wrote with openpyxl, an independent
reader, and compares it with the expectations in a JSON file:
  {"cells": {"Sheet!A1": value}, "formats": {"Sheet!A1": code},
   "names": {"Name": "Sheet!$A$1"}, "merged": {"Sheet": ["A3:B3"]},
   "properties": {"Name": value}}
Prints every mismatch and exits with 1 when there is one."""
import json
import sys
import xml.etree.ElementTree as ElementTree
import zipfile

import openpyxl

CUSTOM = "{http://schemas.openxmlformats.org/officeDocument/2006/custom-properties}"
VTYPES = "{http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes}"


def custom_properties(path):
    """openpyxl 3.0 does not read docProps/custom.xml; the standard library does."""
    with zipfile.ZipFile(path) as package:
        if "docProps/custom.xml" not in package.namelist():
            return {}
        root = ElementTree.fromstring(package.read("docProps/custom.xml"))
    properties = {}
    for item in root.findall(CUSTOM + "property"):
        value = item[0]
        kind = value.tag.replace(VTYPES, "")
        properties[item.get("name")] = int(value.text) if kind in ("i4", "int") else value.text
    return properties


def defined_names(book):
    names = {}
    for name in book.defined_names.definedName:
        names[name.name] = name.attr_text
    for sheet in book.worksheets:
        for name, definition in getattr(sheet, "defined_names", {}).items():
            names[sheet.title + "!" + name] = definition.attr_text
    return names


def main():
    workbook_path, expectations_path = sys.argv[1], sys.argv[2]
    with open(expectations_path, encoding="utf-8") as handle:
        expected = json.load(handle)
    book = openpyxl.load_workbook(workbook_path)
    problems = []

    def cell(reference):
        sheet, address = reference.rsplit("!", 1)
        return book[sheet][address]

    for reference, value in expected.get("cells", {}).items():
        actual = cell(reference).value
        if actual != value:
            problems.append(f"{reference}: {actual!r} instead of {value!r}")
    for reference, code in expected.get("formats", {}).items():
        actual = cell(reference).number_format
        if actual != code:
            problems.append(f"{reference} format: {actual!r} instead of {code!r}")
    names = defined_names(book)
    for name, target in expected.get("names", {}).items():
        if names.get(name) != target:
            problems.append(f"name {name}: {names.get(name)!r} instead of {target!r}")
    for sheet, ranges in expected.get("merged", {}).items():
        actual = sorted(str(r) for r in book[sheet].merged_cells.ranges)
        if actual != sorted(ranges):
            problems.append(f"merged cells of {sheet}: {actual} instead of {sorted(ranges)}")
    properties = custom_properties(workbook_path)
    for name, value in expected.get("properties", {}).items():
        if properties.get(name) != value:
            problems.append(f"property {name}: {properties.get(name)!r} instead of {value!r}")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
