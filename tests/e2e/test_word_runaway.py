"""A word-processor data file asking for 2,147,483,647 repeated rows ends with
one error box, in bounded time and memory, and writes nothing."""

import resource
import time
import unittest

from tolvane_e2e import MB_ICONERROR, TemporaryRuns

DATA = """<?xml version='1.0' encoding='UTF-8'?>
<invoices>
  <META>
    <TEMPLATE TYPE='1'>@EXAMPLES@/invoice.dotx</TEMPLATE>
    <TITLE>Creating invoices</TITLE><CANCEL>Cancel</CANCEL>
    <INITIALIZE>Starting the word processor</INITIALIZE><PROGRESS>Filling %1$s</PROGRESS>
    <ERRORWORD>The invoice is incomplete</ERRORWORD>
  </META>
  <DOCUMENTS><invoice><FIELDS>
    <InvoiceNo><v>2024-0117</v></InvoiceNo>
    <Pos NUMRECORDS='2147483647'><v>1</v><v>2</v></Pos>
  </FIELDS></invoice></DOCUMENTS>
</invoices>
"""


class RunawayRows(TemporaryRuns, unittest.TestCase):
    def test_the_paste_past_the_limit_is_refused_with_one_error_box(self):
        start = time.monotonic()
        result = self.run_tolvane(text=DATA, timeout=240)
        seconds = time.monotonic() - start
        peak_mb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024
        print(f"runaway rows refused after {seconds:.1f} s, peak {peak_mb:.0f} MB")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.boxes), 1, result.boxes)
        box = result.boxes[0]
        self.assertEqual(box.caption, "Error")
        self.assertTrue(box.flags & MB_ICONERROR)
        self.assertEqual(result.documents(), [])
        self.assertLess(peak_mb, 2048)


if __name__ == "__main__":
    unittest.main()
