"""The worker end to end: loading, dialog texts, choice of generator,
reports, and Cancel before and after the generator exists."""

import unittest

from tolvane_e2e import (CANCEL_BUTTON, DIALOG, MB_ICONERROR, MB_SETFOREGROUND, PERCENT,
                         STATUS_LINE, TemporaryRuns, docx_texts)

MAIN_WINDOW = "window:TOLVANE"
WRONG_TYPE = "Something is wrong with the type (1=word, 2=excel) meta data in the xml file!"


class LoadFailures(TemporaryRuns, unittest.TestCase):
    def test_missing_file_shows_the_first_line_of_the_load_text(self):
        missing = "/nonexistent/folder/orders.xml"
        result = self.run_tolvane(arguments=[missing])
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.boxes), 1)
        box = result.boxes[0]
        self.assertEqual((box.caption, box.owner, box.flags),
                         ("Error", "-", MB_ICONERROR | MB_SETFOREGROUND))
        self.assertEqual(box.text, f"Unable to load file {missing} (error #2: Input/Output error)\n")
        self.assertEqual(result.documents(), [])

    def test_file_cut_off_in_the_middle_shows_both_lines(self):
        result = self.run_tolvane("cut_off.xml")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.boxes), 1)
        lines = result.boxes[0].text.split("\n")
        self.assertEqual(len(lines), 3, result.boxes[0].text)
        self.assertIn("(error #3: Internal Expat parser error)", lines[0])
        self.assertRegex(lines[1], r"^Expat error #\d+ \(line \d+, column \d+\): .+")
        self.assertEqual(lines[2], "")
        # Nothing of the file reached the dialog.
        self.assertNotIn("Creating letters", result.texts(DIALOG))


class WrongType(TemporaryRuns, unittest.TestCase):
    def test_types_other_than_1_and_2_give_the_type_message_and_start_nothing(self):
        for data in ("type_0.xml", "type_3.xml", "type_abc.xml"):
            with self.subTest(data=data):
                result = self.run_tolvane(data)
                self.assertEqual(result.exit_code, 0)
                self.assertEqual([(b.caption, b.owner, b.flags, b.text) for b in result.boxes],
                                 [("Message", MAIN_WINDOW, MB_ICONERROR, WRONG_TYPE)])
                # No run: the percentage never moved and nothing was written.
                self.assertEqual(result.texts(PERCENT), ["0%"])
                self.assertEqual(result.documents(), [])
                self.assertEqual(result.last_text(DIALOG), "Creating letters")


class DialogTexts(TemporaryRuns, unittest.TestCase):
    def test_successful_run_sets_the_texts_in_order_and_reports_nothing(self):
        result = self.run_tolvane("small.xml")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.texts(DIALOG), ["Tolvane", "Creating letters"])
        self.assertEqual(result.texts(CANCEL_BUTTON), ["Cancel", "Stop"])
        self.assertEqual(result.texts(STATUS_LINE), ["Progress", "Starting the word processor",
                                                     "Filling Document1", "Filling Document2"])
        percents = result.texts(PERCENT)
        self.assertEqual(percents[:2], ["0%", "10%"])
        self.assertEqual(percents[-1], "100%")
        self.assertEqual([kind for kind, name, _ in result.events if name == DIALOG][-1], "destroy")
        self.assertEqual([p.name for p in result.documents()], ["Document1.docx", "Document2.docx"])

    def test_missing_title_gives_an_empty_caption(self):
        result = self.run_tolvane("no_title.xml")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.texts(DIALOG), ["Tolvane", ""])
        self.assertEqual(result.texts(CANCEL_BUTTON)[-1], "")

    def test_empty_title_gives_one_blank(self):
        result = self.run_tolvane("empty_title.xml")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.texts(DIALOG), ["Tolvane", " "])
        self.assertEqual(result.texts(CANCEL_BUTTON)[-1], " ")
        self.assertEqual(result.texts(STATUS_LINE)[1], " ")


class AutomationFailure(TemporaryRuns, unittest.TestCase):
    def test_missing_template_gives_exactly_one_error_box_and_writes_nothing(self):
        result = self.run_tolvane("missing_template.xml")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(len(result.boxes), 1, result.boxes)
        box = result.boxes[0]
        self.assertEqual((box.caption, box.owner, box.flags),
                         ("Error", "-", MB_ICONERROR | MB_SETFOREGROUND))
        self.assertTrue(box.text.startswith('IDispatch::Invoke("Add"='), box.text)
        self.assertEqual(result.documents(), [])


class Cancel(TemporaryRuns, unittest.TestCase):
    def test_cancel_while_loading_ends_at_once(self):
        # The caption is the first text the worker sets: the data file is
        # loaded, the generator does not exist yet.
        result = self.run_tolvane("small.xml", cancel_at="text\t" + DIALOG + "\tCreating letters")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.documents(), [])
        self.assertNotIn("10%", result.texts(PERCENT))

    def test_cancel_during_generation_finishes_the_run_and_shows_what_was_built(self):
        result = self.run_tolvane("small.xml", cancel_at="Filling Document1")
        self.assertEqual(result.exit_code, 0)
        self.assertEqual(result.boxes, [])
        self.assertEqual(result.texts(PERCENT)[-1], "100%")
        self.assertNotIn("Filling Document2", result.texts(STATUS_LINE))
        documents = result.documents()
        self.assertEqual([p.name for p in documents], ["Document1.docx"])
        # Cancelled before its fields: the name field was never filled.
        self.assertNotIn("Ana Sousa", "\n".join(docx_texts(documents[0])))


if __name__ == "__main__":
    unittest.main()
