#!/usr/bin/env python3
"""The layer check on small made-up trees: what it must let pass and what it
must stop. Run with the path of cmake/LayerCheck.py as the only argument."""

import importlib.util
import os
import sys
import tempfile
import unittest

spec = importlib.util.spec_from_file_location("LayerCheck", sys.argv.pop(1))
LayerCheck = importlib.util.module_from_spec(spec)
spec.loader.exec_module(LayerCheck)

# A small layering of its own: two engines, a window and the program.
ROWS = {"platform": 1, "engine/a": 2, "engine/b": 2, "engine/c": 2, "window": 5, "app": 6}


def problems_of(files, known=()):
    """`files` maps a path to the paths it includes (quoted, or as written
    when given with angle brackets)."""
    with tempfile.TemporaryDirectory() as root:
        for path, includes in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(path)), exist_ok=True)
            with open(os.path.join(root, path), "w") as f:
                f.write("".join(f'#include {i}\n' if i.startswith("<") else f'#include "{i}"\n' for i in includes)
                        + "#include <vector>\n")
        return LayerCheck.check(root, known_mutual=list(known), rows_table=ROWS)


class LayerCheckTest(unittest.TestCase):
    def test_cases(self):
        rows = [
            # (why, tree, known exceptions, words every problem list must hold)
            ("includes down the rows and within a row pass",
             {"app/main.cpp": ["window/W.h"], "window/W.h": ["engine/a/A.h", "platform/P.h"],
              "engine/a/A.h": ["engine/b/B.h"], "engine/b/B.h": ["platform/P.h"], "platform/P.h": []},
             [], []),
            ("a bare name is the file's own folder and ties nothing",
             {"engine/a/A.cpp": ["A.h"], "engine/a/A.h": [], "tests/t.cpp": ["app/x.h"]}, [], []),
            ("an include up a row fails",
             {"engine/a/A.cpp": ["window/W.h"], "window/W.h": []}, [], ["engine/a/ (row 2) includes window/"]),
            ("two folders including each other fail",
             {"engine/a/A.h": ["engine/b/B.h"], "engine/b/B.h": ["engine/a/A.h"]}, [], ["include each other"]),
            ("a cycle of three fails",
             {"engine/a/A.h": ["engine/b/B.h"], "engine/b/B.h": ["engine/c/C.h"], "engine/c/C.h": ["engine/a/A.h"]},
             [], ["engine/a -> engine/b -> engine/c"]),
            ("a known pair passes",
             {"engine/a/A.h": ["engine/b/B.h"], "engine/b/B.h": ["engine/a/A.h"]},
             [("engine/b", "engine/a")], []),
            ("a known pair does not hide a longer cycle through it",
             {"engine/a/A.h": ["engine/b/B.h"], "engine/b/B.h": ["engine/a/A.h", "engine/c/C.h"],
              "engine/c/C.h": ["engine/a/A.h"]},
             [("engine/a", "engine/b")], ["cycle"]),
            ("a folder without a row fails and asks to be placed",
             {"newthing/N.cpp": ["platform/P.h"], "platform/P.h": []}, [], ["newthing/ is not placed"]),
            ("an include up a row written with angle brackets fails",
             {"engine/a/A.cpp": ["<window/W.h>"], "window/W.h": []}, [], ["engine/a/ (row 2) includes window/"]),
            ("an include up a row that climbs with ../ fails",
             {"engine/a/A.cpp": ["../../window/W.h"], "window/W.h": []}, [], ["engine/a/ (row 2) includes window/"]),
            ("a source folder whose name starts like a build folder is read",
             {"builder/B.cpp": ["platform/P.h"], "platform/P.h": []}, [], ["builder/ is not placed"]),
            ("a configured build tree is no source folder",
             {"out/CMakeCache.txt": [], "out/gen/G.cpp": ["window/W.h"], "window/W.h": []}, [], []),
        ]
        for why, tree, known, expected in rows:
            with self.subTest(why):
                problems, _ = problems_of(tree, known)
                if not expected:
                    self.assertEqual(problems, [])
                for words in expected:
                    self.assertTrue(any(words in p for p in problems), problems)

    def test_figures_count_pairs_cycles_and_upward_arrows(self):
        _, figures = problems_of({"engine/a/A.h": ["engine/b/B.h", "window/W.h"], "engine/b/B.h": ["engine/a/A.h"],
                                  "window/W.h": []})
        self.assertEqual((figures["pairs that include each other"], figures["cycles"], figures["upward arrows"]),
                         (1, 1, 1))


if __name__ == "__main__":
    unittest.main()
