"""Cancel at random moments of many short runs: the worker and the
user-interface thread never wait on each other, so every run ends in time
with exit code 0."""

import concurrent.futures
import random
import unittest

from tolvane_e2e import TemporaryRuns

RUNS = 200
TIME_LIMIT = 20


class CancelStress(TemporaryRuns, unittest.TestCase):
    def test_cancel_at_random_moments_never_hangs(self):
        # A run that succeeds, one whose automation fails (an "Error" box from
        # the worker thread) and one with the wrong type (a box before any
        # generator exists). Every recorded event of a reference run is a
        # moment at which Cancel can be pressed.
        moments = {}
        for data in ("small.xml", "missing_template.xml", "type_abc.xml"):
            reference = self.run_tolvane(data)
            self.assertEqual(reference.exit_code, 0)
            moments[data] = sorted({f"{kind}\t{name}\t{text}" if text else f"{kind}\t{name}"
                                    for kind, name, text in reference.events}
                                   | {f"box\t{box.owner}" for box in reference.boxes})
        chooser = random.Random(20240315)
        runs = []
        for _ in range(RUNS):
            data = chooser.choice(sorted(moments))
            runs.append((data, chooser.choice(moments[data])))

        def one_run(case):
            data, trigger = case
            return case, self.run_tolvane(data, cancel_at=trigger, timeout=TIME_LIMIT)

        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            for case, result in pool.map(one_run, runs):
                self.assertEqual(result.exit_code, 0, f"{case!r}: {result.stderr}")
                self.assertLessEqual(len(result.boxes), 1, case)


if __name__ == "__main__":
    unittest.main()
