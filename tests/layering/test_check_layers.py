#!/usr/bin/env python3
"""The layering check finds what it is there to find: run over a copy of the source tree it
passes, and each deliberately wrong include or link makes it fail with a line naming the file
and the arrow."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(SOURCE, "scripts", "check_layers.py")
FOLDERS = ["core", "database", "recording", "supervision", "browsing", "ui", "tableengine",
           "tests", "bench", "fuzz"]


def copy_tree(target):
    for folder in FOLDERS:
        src = os.path.join(SOURCE, folder)
        if not os.path.isdir(src):
            continue
        for base, dirs, files in os.walk(src):
            dirs[:] = [d for d in dirs if d != "corpus" and not d.startswith(".")]
            for f in files:
                if f.endswith((".h", ".cpp")) or f == "CMakeLists.txt":
                    rel = os.path.relpath(os.path.join(base, f), SOURCE)
                    os.makedirs(os.path.join(target, os.path.dirname(rel)), exist_ok=True)
                    shutil.copyfile(os.path.join(SOURCE, rel), os.path.join(target, rel))


def run(root):
    p = subprocess.run([sys.executable, SCRIPT, "--root", root], capture_output=True, text=True)
    return p.returncode, p.stdout


class CheckLayersTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = self.dir.name
        copy_tree(self.root)

    def tearDown(self):
        self.dir.cleanup()

    def append(self, rel, text):
        with open(os.path.join(self.root, rel), "a", encoding="utf-8") as f:
            f.write(text)

    def replace(self, rel, old, new):
        path = os.path.join(self.root, rel)
        with open(path, encoding="utf-8") as f:
            text = f.read()
        self.assertIn(old, text)
        with open(path, "w", encoding="utf-8") as f:
            f.write(text.replace(old, new, 1))

    def lines_of(self, rel):
        with open(os.path.join(self.root, rel), encoding="utf-8") as f:
            return len(f.read().splitlines())

    def test_copy_of_the_tree_is_clean(self):
        code, out = run(self.root)
        self.assertEqual(code, 0, out)

    def test_include_of_a_higher_layer_fails_naming_file_line_and_arrow(self):
        self.append("tableengine/VolgaTypes.cpp", '#include "TfmPelmUsb.h"\n')
        line = self.lines_of("tableengine/VolgaTypes.cpp")
        self.append("database/TUniqueId.cpp", '#include "TCallCompletion.h"\n')
        code, out = run(self.root)
        self.assertEqual(code, 1, out)
        self.assertIn(f"tableengine/VolgaTypes.cpp:{line}: tableengine -> app is not allowed", out)
        self.assertIn("database/TUniqueId.cpp", out)
        self.assertIn("database -> recording is not allowed", out)

    def test_tests_of_a_layer_may_not_reach_above_it(self):
        self.append("tests/core/test_stores.cpp", '#include "TfmConfig.h"\n')
        code, out = run(self.root)
        self.assertEqual(code, 1, out)
        self.assertIn("tests/core -> supervision is not allowed", out)

    def test_link_without_include_and_include_without_link_fail(self):
        self.replace("database/CMakeLists.txt", "PUBLIC pelm_core", "PUBLIC pelm_ui pelm_core")
        self.replace("recording/CMakeLists.txt", "pelm_core tableengine", "pelm_core")
        self.replace("core/CMakeLists.txt", "Qt6::Network", "Qt6::Network Qt6::PrintSupport")
        code, out = run(self.root)
        self.assertEqual(code, 1, out)
        self.assertIn("database links ui but includes nothing of it", out)
        self.assertIn("recording includes tableengine but does not link it", out)
        self.assertIn("core links Qt6::PrintSupport but includes nothing of it", out)

    def test_each_target_is_checked_on_its_own(self):
        # The audio library shares its folder with the recording library, which does include
        # the core: a link of the core from the audio library alone is still a fault.
        self.replace("recording/CMakeLists.txt", "pelm_audio PRIVATE PkgConfig::PELM_LAME",
                     "pelm_audio PRIVATE pelm_core PkgConfig::PELM_LAME")
        # The recording library uses the audio library's headers without linking it.
        self.replace("recording/CMakeLists.txt", "target_link_libraries(pelm_recording PUBLIC pelm_audio)",
                     "")
        # A test program linking a layer it never includes.
        self.replace("tests/recording/CMakeLists.txt", "PRIVATE pelm_recording",
                     "PRIVATE pelm_recording pelm_supervision")
        code, out = run(self.root)
        self.assertEqual(code, 1, out)
        self.assertIn("recording/CMakeLists.txt: pelm_audio: recording links core but includes "
                      "nothing of it", out)
        self.assertIn("pelm_recording: recording includes pelm_audio but does not link it", out)
        self.assertIn("tests/recording/CMakeLists.txt: recording_tests: tests/recording links "
                      "supervision but includes nothing of it", out)
        self.assertNotIn("pelm_recording: recording links core", out)

    def test_test_programs_may_reach_lower_layers_through_their_links(self):
        # Database tests include the core's headers and link only the database library.
        code, out = run(self.root)
        self.assertNotIn("database_tests", out)
        self.replace("tests/database/CMakeLists.txt", "PRIVATE pelm_database Qt6::Test pelm_test_main_core",
                     "PRIVATE Qt6::Test pelm_test_main_core")
        code, out = run(self.root)
        self.assertEqual(code, 1, out)
        self.assertIn("database_tests: tests/database includes database but does not link it", out)
        self.assertIn("database_tests: tests/database includes core but does not link it", out)


if __name__ == "__main__":
    unittest.main(verbosity=2)
