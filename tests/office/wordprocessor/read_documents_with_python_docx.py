"""Reads every document the word processor wrote with python-docx, an
independent reader, and checks that the expected paragraph texts appear in
order. Usage: read_documents_with_python_docx.py <folder with expected.txt>"""
import pathlib
import sys
import zipfile

import docx
from docx.table import Table
from docx.text.paragraph import Paragraph


def paragraph_texts(document):
    texts = []

    def walk(parent, element):
        for child in element.iterchildren():
            tag = child.tag.rsplit('}', 1)[-1]
            if tag == 'p':
                texts.append(Paragraph(child, parent).text)
            elif tag == 'tbl':
                for row in Table(child, parent).rows:
                    for cell in row.cells:
                        walk(cell, cell._tc)
    walk(document, document.element.body)
    return texts


def expectations(folder):
    blocks = {}
    current = None
    for line in (folder / 'expected.txt').read_text(encoding='utf-8').splitlines():
        if line.startswith('== '):
            current = line[3:]
            blocks[current] = []
        else:
            blocks[current].append(line.replace('\\t', '\t'))
    return blocks


def check(path, wanted):
    with zipfile.ZipFile(path) as archive:
        if archive.testzip() is not None:
            return 'damaged zip entry'
    texts = paragraph_texts(docx.Document(str(path)))
    position = 0
    for text in wanted:
        while position < len(texts) and texts[position] != text:
            position += 1
        if position == len(texts):
            return f'paragraph {text!r} missing or out of order in {texts!r}'
        position += 1
    return None


def main():
    folder = pathlib.Path(sys.argv[1])
    passed = failed = 0
    for name, wanted in expectations(folder).items():
        problem = check(folder / name, wanted)
        if problem:
            failed += 1
            print(f'FAIL {name}: {problem}')
        else:
            passed += 1
            print(f'ok   {name}')
    print(f'{passed} passed, {failed} failed')
    return 1 if failed or not passed else 0


if __name__ == '__main__':
    sys.exit(main())
