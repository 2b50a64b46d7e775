"""export_cards and print_cards given a design path that is no design file.

Run by hand or by ctest: test_refused_design.py EXPORT_CARDS PRINT_CARDS.
Each call must end at once with the design's refusal on standard error and
exit status 1, writing nothing: a FIFO, a link to /dev/zero and a missing
path. A tool that waits for a press on a message box no one sees never
returns; the subprocess limit turns that into a failure instead of a hang.
"""
import os
import subprocess
import sys
import tempfile
import unittest

EXPORT_CARDS, PRINT_CARDS = sys.argv[1], sys.argv[2]


class RefusedDesign(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_DATA_HOME=os.path.join(self.dir.name, "data"))
        fifo = os.path.join(self.dir.name, "fifo.zelg")
        os.mkfifo(fifo)
        zero = os.path.join(self.dir.name, "zero.zelg")
        os.symlink("/dev/zero", zero)
        self.cases = [
            (fifo, 'The selected file "%s" cannot be opened as a design.\nIt is not a regular file.' % fifo),
            (zero, 'The selected file "%s" cannot be opened as a design.\nIt is not a regular file.' % zero),
            (os.path.join(self.dir.name, "missing.zelg"), "Please select valid file path."),
        ]

    def tearDown(self):
        self.dir.cleanup()

    def run_tool(self, call):
        return subprocess.run(call, env=self.env, capture_output=True, text=True, timeout=60)

    def test_each_tool_names_the_refusal_and_fails(self):
        out = os.path.join(self.dir.name, "out")
        os.mkdir(out)
        pdf = os.path.join(self.dir.name, "cards.pdf")
        for design, refusal in self.cases:
            for call in ([EXPORT_CARDS, design, out, "PNG", "72"], [PRINT_CARDS, design, pdf, "2", "2", "A4"]):
                with self.subTest(tool=os.path.basename(call[0]), design=os.path.basename(design)):
                    result = self.run_tool(call)
                    self.assertEqual(result.returncode, 1, result.stderr)
                    self.assertIn(refusal, result.stderr)
        self.assertEqual(os.listdir(out), [])
        self.assertFalse(os.path.exists(pdf))


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
