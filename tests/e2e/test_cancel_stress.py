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
        reference = self.run_tolvane("small.xml")
        self.assertEqual(reference.exit_code, 0)
        # Every recorded event is a moment at which Cancel can be pressed.
        moments = sorted({f"{kind}\t{name}\t{text}" if text else f"{kind}\t{name}"
                          for kind, name, text in reference.events})
        chooser = random.Random(20240315)
        triggers = [chooser.choice(moments) for _ in range(RUNS)]

        def one_run(trigger):
            return trigger, self.run_tolvane("small.xml", cancel_at=trigger, timeout=TIME_LIMIT)

        with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
            for trigger, result in pool.map(one_run, triggers):
                self.assertEqual(result.exit_code, 0, f"cancel at {trigger!r}: {result.stderr}")
                self.assertEqual(result.boxes, [], trigger)


if __name__ == "__main__":
    unittest.main()
