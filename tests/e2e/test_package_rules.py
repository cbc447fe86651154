"""What both servers owe every package they read and write, end to end: the
word-processor reproductions of the shared repros folder (properties by
namespace, relationship parts, zip names), the output folder, templates that
are no regular file or are encrypted, a lying zip directory, and the
diagnostics line that says why the server refused."""

import os
import pathlib
import posixpath
import resource
import shutil
import struct
import tempfile
import unittest
import xml.etree.ElementTree as ET
import zipfile

import docx

from tolvane_e2e import REPROS_DIR, TemporaryRuns, docx_texts

CORE = "{http://schemas.openxmlformats.org/package/2006/metadata/core-properties}"
TYPES = "{http://schemas.openxmlformats.org/package/2006/content-types}"

DATA = """<?xml version='1.0' encoding='UTF-8'?>
<r><META><TEMPLATE TYPE='{kind}'>{template}</TEMPLATE><TITLE>t</TITLE><CANCEL>c</CANCEL>
<INITIALIZE>i</INITIALIZE><PROGRESS>%1$s</PROGRESS><ERRORWORD>e</ERRORWORD></META>
<DOCUMENTS><d><FIELDS/></d></DOCUMENTS></r>"""


def check_package(test, path):
    """Every part has a content type, and every XML part parses with its namespaces."""
    with zipfile.ZipFile(path) as package:
        types = ET.fromstring(package.read("[Content_Types].xml"))
        defaults = {d.get("Extension").lower(): d.get("ContentType") for d in types.iter(TYPES + "Default")}
        overrides = {o.get("PartName").lower(): o.get("ContentType") for o in types.iter(TYPES + "Override")}
        for name in package.namelist():
            if name == "[Content_Types].xml":
                continue
            base = posixpath.basename(name)
            extension = base.rsplit(".", 1)[1].lower() if "." in base else ""
            content_type = overrides.get("/" + name.lower()) or defaults.get(extension)
            test.assertTrue(content_type, f"{path.name}: no content type for {name}")
            if extension in ("xml", "rels"):
                ET.fromstring(package.read(name))


def compound_document(stream_name):
    """A three-sector OLE compound document whose directory holds one stream."""
    header = bytearray(512)
    header[0:8] = b"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"
    struct.pack_into("<HHH", header, 0x1A, 3, 0xFFFE, 9)
    struct.pack_into("<II", header, 0x2C, 1, 0)
    struct.pack_into("<109I", header, 0x4C, 1, *([0xFFFFFFFF] * 108))
    directory = bytearray(512)
    for slot, (name, kind) in enumerate([("Root Entry", 5), (stream_name, 2)]):
        encoded = name.encode("utf-16-le")
        directory[slot * 128:slot * 128 + len(encoded)] = encoded
        struct.pack_into("<HB", directory, slot * 128 + 64, len(encoded) + 2, kind)
    table = bytearray(b"\xff" * 512)
    struct.pack_into("<II", table, 0, 0xFFFFFFFE, 0xFFFFFFFD)
    return bytes(header + directory + table)


class PackageRules(TemporaryRuns, unittest.TestCase):
    def scratch(self):
        folder = tempfile.mkdtemp(prefix="tolvane-e2e-")
        self.addCleanup(shutil.rmtree, folder, True)
        return pathlib.Path(folder)

    def run_template(self, template, kind, **options):
        return self.run_tolvane(text=DATA.format(kind=kind, template=template), **options)

    def assert_refused(self, result, reason):
        """One "Error" box, the reason on the diagnostics line, no document."""
        self.assertEqual(result.exit_code, 0)
        self.assertEqual([box.caption for box in result.boxes], ["Error"], result.boxes)
        diagnostics = [line for line in result.stderr.splitlines() if line.startswith("tolvane: ")]
        self.assertTrue(any(reason in line for line in diagnostics), result.stderr)
        self.assertEqual(result.documents(), [])
        self.assertEqual(result.documents(".xlsx"), [])

    def written(self, case):
        result = self.run_repro("wordprocessor/" + case)
        self.assertEqual((result.exit_code, result.boxes), (0, []), result.stderr)
        [document] = result.documents()
        check_package(self, document)
        return document

    def test_core_properties_are_extended_by_namespace_and_revision_updated_in_place(self):
        for case in ("a-default-ns", "b-cp-only", "c-app-prefixed"):
            with self.subTest(case):
                document = self.written(case)
                properties = docx.Document(str(document)).core_properties
                self.assertEqual(properties.revision, 1)
                self.assertIsNotNone(properties.created)
                with zipfile.ZipFile(document) as package:
                    core = ET.fromstring(package.read("docProps/core.xml"))
                    self.assertEqual(len(core.findall(CORE + "revision")), 1)
                if case == "a-default-ns":
                    self.assertEqual(properties.author, "X")

    def test_no_empty_relationship_part_and_every_part_typed(self):
        document = self.written("rels-override")
        with zipfile.ZipFile(document) as package:
            for name in package.namelist():
                if name.endswith(".rels"):
                    self.assertIsNotNone(ET.fromstring(package.read(name)).find(
                        "{http://schemas.openxmlformats.org/package/2006/relationships}Relationship"), name)

    def test_unicode_path_fields_that_rename_entries_are_refused(self):
        self.assert_refused(self.run_repro("wordprocessor/upath"), "the package is ambiguous")
        document = self.written("plain")
        self.assertEqual(docx_texts(document), docx_texts(REPROS_DIR / "wordprocessor" / "plain.docx"))

    def test_a_missing_output_folder_is_made_and_a_blocked_one_named(self):
        template = REPROS_DIR / "wordprocessor" / "plain.docx"
        result = self.run_template(template, 1, env={"TOLVANE_OUTPUT_DIR": "new/deeper"})
        self.assertEqual((result.exit_code, result.boxes), (0, []), result.stderr)
        folder = result.output_dir.parent / "new" / "deeper"
        self.assertEqual([p.name for p in folder.iterdir()], ["Document1.docx"])

        blocker = result.output_dir / "a-file"
        blocker.write_text("in the way")
        result = self.run_template(template, 1, env={"TOLVANE_OUTPUT_DIR": str(blocker / "sub")})
        self.assert_refused(result, f"output folder '{blocker / 'sub'}': it cannot be created")

    def test_templates_that_are_no_regular_file_are_refused_at_once(self):
        for kind in (1, 2):
            with self.subTest(kind=kind):
                fifo = self.scratch() / "template"
                os.mkfifo(fifo)
                self.assert_refused(self.run_template(fifo, kind, timeout=30), "it is not a regular file")

    def test_an_encrypted_package_is_refused_as_encrypted(self):
        folder = self.scratch()
        for kind, name in ((1, "secret.docx"), (2, "secret.xlsx")):
            with self.subTest(name):
                (folder / name).write_bytes(compound_document("EncryptedPackage"))
                self.assert_refused(self.run_template(folder / name, kind), "it is encrypted")

    def test_a_directory_that_lies_about_sizes_is_refused_before_allocating(self):
        result = self.run_repro("hostile/lie_big_cs", timeout=30)
        self.assert_refused(result, "declares more compressed bytes than the file holds")
        peak_kib = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        self.assertLess(peak_kib, 300 * 1024)


if __name__ == "__main__":
    unittest.main()
