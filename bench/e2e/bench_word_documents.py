#!/usr/bin/python3
"""Whole-program benchmark of the word processor: the built program fills the
example invoice with one document of 10,000 table rows, and 1,000 documents
of 10 rows. Prints the median cpu time of several runs beside the plain
writer opening and saving the template as often in the same run; fails when
a target is missed."""
import os
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, "@CMAKE_CURRENT_SOURCE_DIR@")
from whole_program import measure, run_child, run_program, verdict  # noqa: E402

PROGRAM = Path("@CMAKE_BINARY_DIR@/tolvane")
PLAIN_WRITER = Path("@CMAKE_BINARY_DIR@/bench/plain_writer")
TEMPLATE = Path("@CMAKE_SOURCE_DIR@/examples/invoice.dotx")
# (documents, rows each) -> cpu seconds
TARGETS = {(1, 10_000): 0.15, (1_000, 10): 0.50}


def invoice(number: int, rows: int) -> str:
    def field(name, values):
        return f"<{name} NUMRECORDS='{rows}'>" + "".join(f"<v>{v}</v>" for v in values) + f"</{name}>"

    return ("<invoice><FIELDS>"
            f"<InvoiceNo><v>2024-{number:05d}</v></InvoiceNo><InvoiceDate><v>15 March 2024</v></InvoiceDate>"
            "<Name><v>Harbour Lights Ltd</v></Name><Street><v>12 Quay Road</v></Street>"
            "<City><v>Bristol BS1 4QA</v></City>"
            + field("Pos", range(1, rows + 1))
            + field("Description", (f"Article {n}" for n in range(rows)))
            + field("Quantity", (n % 9 + 1 for n in range(rows)))
            + field("UnitPrice", (f"{n % 97}.50" for n in range(rows)))
            + field("LineAmount", (f"{(n % 9 + 1) * (n % 97)}.00" for n in range(rows)))
            + "<Total><v>0.00</v></Total><Note NUMRECORDS='1'><v>Thank you.</v></Note></FIELDS></invoice>")


def write_data(path: Path, documents: int, rows: int) -> None:
    with path.open("w", encoding="utf-8") as out:
        out.write("<?xml version='1.0' encoding='UTF-8'?><invoices><META>"
                  f"<TEMPLATE TYPE='1'>{TEMPLATE}</TEMPLATE><TITLE>Invoices</TITLE><CANCEL>Cancel</CANCEL>"
                  "<INITIALIZE>Starting</INITIALIZE><PROGRESS>Filling %1$s</PROGRESS>"
                  "<ERRORWORD>Incomplete</ERRORWORD></META><DOCUMENTS>")
        for number in range(documents):
            out.write(invoice(number, rows))
        out.write("</DOCUMENTS></invoices>\n")


def main() -> int:
    failed = False
    print("load average %.2f %.2f %.2f" % os.getloadavg())
    with tempfile.TemporaryDirectory(prefix="bench-word-") as folder:
        folder = Path(folder)
        output = folder / "out"
        output.mkdir()
        copies = folder / "copies"
        for (documents, rows), target in TARGETS.items():
            data = folder / f"invoices-{documents}x{rows}.xml"
            write_data(data, documents, rows)
            program = measure(lambda: run_program(PROGRAM, data, output, ".docx", documents))

            def plain():
                copies.mkdir()
                figures = run_child([PLAIN_WRITER, "copy", TEMPLATE, documents, copies])
                for path in copies.iterdir():
                    path.unlink()
                copies.rmdir()
                return figures

            baseline = measure(plain)
            ok = program.cpu < target
            failed |= not ok
            print(f"{documents:>5} documents x {rows:>6} rows: cpu {program.cpu:.3f} s, wall {program.wall:.3f} s, "
                  f"peak {program.megabytes:.0f} MB; template opened and saved as often {baseline.cpu:.3f} s "
                  f"(x {program.cpu / baseline.cpu:.1f}); target {target} s {verdict(ok)}", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
