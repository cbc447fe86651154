"""Reads a written .docx with python-docx, for the Word generator and end-to-end tests.

  read_docx.py text FILE     the body in document order, one line per
                             paragraph, a table row as its cells joined by TAB
  read_docx.py fields FILE   the legacy form fields still in the body, one
                             line each: kind (text, checkbox, dropdown) TAB name
"""

import sys

import docx
from docx.oxml.ns import qn
from docx.table import Table
from docx.text.paragraph import Paragraph

KINDS = {"textInput": "text", "checkBox": "checkbox", "ddList": "dropdown"}


def text_lines(document):
    for child in document.element.body.iterchildren():
        if child.tag == qn("w:p"):
            yield Paragraph(child, document).text
        elif child.tag == qn("w:tbl"):
            for row in Table(child, document).rows:
                yield "\t".join(cell.text for cell in row.cells)


def field_lines(document):
    for data in document.element.body.iter(qn("w:ffData")):
        kind = next((KINDS[c.tag.split("}")[1]] for c in data if c.tag.split("}")[1] in KINDS), "?")
        name = data.find(qn("w:name"))
        yield kind + "\t" + (name.get(qn("w:val")) if name is not None else "")


def main():
    mode, path = sys.argv[1], sys.argv[2]
    document = docx.Document(path)
    lines = text_lines(document) if mode == "text" else field_lines(document)
    sys.stdout.buffer.write("".join(line + "\n" for line in lines).encode("utf-8"))


if __name__ == "__main__":
    main()
