"""Makes the word processor benchmarks' data files: invoices on the example
template, each with a block of table rows."""
from pathlib import Path


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


def write_data(path: Path, template: Path, documents: int, rows: int) -> None:
    with path.open("w", encoding="utf-8") as out:
        out.write("<?xml version='1.0' encoding='UTF-8'?><invoices><META>"
                  f"<TEMPLATE TYPE='1'>{template}</TEMPLATE><TITLE>Invoices</TITLE><CANCEL>Cancel</CANCEL>"
                  "<INITIALIZE>Starting</INITIALIZE><PROGRESS>Filling %1$s</PROGRESS>"
                  "<ERRORWORD>Incomplete</ERRORWORD></META><DOCUMENTS>")
        for number in range(documents):
            out.write(invoice(number, rows))
        out.write("</DOCUMENTS></invoices>\n")
