"""export_cards into a folder reached through links.

Run by hand or by ctest: test_linked_folder.py EXPORT_CARDS EXPORT_CARDS_DESIGN.
The output folder a/dirlink is a link to ../b/real, where the first card's
file is a link to ../../g.png: the system reads that as b/g.png (the text
counts from b/real/Quorvant, the folder that really holds the link), while
the path as typed would make it a/g.png. The card must land in b/g.png, and
a/g.png, another file, must stay as it was, byte for byte. A loop of links
where a card goes is refused with the system's reason, and stays.
"""
import os
import subprocess
import sys
import tempfile
import unittest

EXPORT_CARDS, EXPORT_CARDS_DESIGN = sys.argv[1], sys.argv[2]


class LinkedFolder(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=os.path.join(self.dir.name, "data"))
        self.design = self.path("cards.zelg")
        made = self.run_tool([EXPORT_CARDS_DESIGN, self.design, "2"])
        self.assertEqual(made.returncode, 0, made.stderr)

    def tearDown(self):
        self.dir.cleanup()

    def path(self, *parts):
        return os.path.join(self.dir.name, *parts)

    def run_tool(self, call):
        return subprocess.run(call, env=self.env, capture_output=True, text=True, timeout=120)

    def read(self, *parts):
        with open(self.path(*parts), "rb") as f:
            return f.read()

    def test_the_card_lands_where_the_system_says_and_nothing_else_is_touched(self):
        os.makedirs(self.path("a"))
        os.makedirs(self.path("b", "real", "Quorvant"))
        os.symlink("../b/real", self.path("a", "dirlink"))
        os.symlink("../../g.png", self.path("b", "real", "Quorvant", "Card_1.PNG"))
        unrelated = b"\x89PNG\r\n\x1a\n" + bytes(range(256)) * 4
        with open(self.path("a", "g.png"), "wb") as f:
            f.write(unrelated)
        with open(self.path("b", "g.png"), "wb") as f:
            f.write(b"the last card")

        linked = self.run_tool([EXPORT_CARDS, self.design, self.path("a", "dirlink"), "PNG", "150"])
        self.assertEqual(linked.returncode, 0, linked.stderr)
        # The same cards into a plain folder, to compare with.
        plain = self.run_tool([EXPORT_CARDS, self.design, self.path("plain"), "PNG", "150"])
        self.assertEqual(plain.returncode, 0, plain.stderr)

        card = self.read("plain", "Quorvant", "Card_1.PNG")
        self.assertTrue(card.startswith(b"\x89PNG\r\n\x1a\n"))
        self.assertEqual(self.read("b", "g.png"), card)
        self.assertEqual(self.read("a", "g.png"), unrelated)
        self.assertEqual(os.readlink(self.path("b", "real", "Quorvant", "Card_1.PNG")), "../../g.png")
        self.assertEqual(os.readlink(self.path("a", "dirlink")), "../b/real")
        for name in ("Card_1_Back.PNG", "Card_2.PNG", "Card_2_Back.PNG"):
            self.assertEqual(self.read("b", "real", "Quorvant", name), self.read("plain", "Quorvant", name), name)
        self.assertEqual(sorted(os.listdir(self.path("b", "real", "Quorvant"))),
                         sorted(os.listdir(self.path("plain", "Quorvant"))))
        self.assertEqual(sorted(os.listdir(self.path("a"))), ["dirlink", "g.png"])
        self.assertEqual(sorted(os.listdir(self.path("b"))), ["g.png", "real"])

    def test_a_loop_of_links_is_refused_with_the_systems_reason(self):
        folder = self.path("out", "Quorvant")
        os.makedirs(folder)
        os.symlink("loopB", os.path.join(folder, "Card_2.PNG"))
        os.symlink("Card_2.PNG", os.path.join(folder, "loopB"))
        result = self.run_tool([EXPORT_CARDS, self.design, self.path("out"), "PNG", "72"])
        self.assertEqual(result.returncode, 1, result.stderr)
        self.assertIn(os.path.join(folder, "Card_2.PNG") + "\n\nToo many levels of symbolic links", result.stderr)
        self.assertEqual(os.readlink(os.path.join(folder, "Card_2.PNG")), "loopB")
        self.assertEqual(os.readlink(os.path.join(folder, "loopB")), "Card_2.PNG")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
