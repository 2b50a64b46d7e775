"""export_cards and print_cards given a design they cannot use whole.

Run by hand or by ctest:
test_refused_design.py EXPORT_CARDS PRINT_CARDS EXPORT_CARDS_DESIGN.
A design path that is no design file (a FIFO, a link to /dev/zero, a missing
path) must end the call at once with the design's refusal on standard error
and exit status 1, writing nothing. A design whose one embedded picture is
damaged still gives every card, names the picture and exits with 3; so do
bound photo files that are too large to read (3 GiB, under an address space
of half that) or cut short, each named by its record with the reason, while
photos the decoder reads whole are drawn. A tool
that waits for a press on a message box no one sees never returns; the
subprocess limit turns that into a failure instead of a hang.
"""
import hashlib
import os
import plistlib
import re
import resource
import subprocess
import sys
import tempfile
import unittest

EXPORT_CARDS, PRINT_CARDS, EXPORT_CARDS_DESIGN = sys.argv[1], sys.argv[2], sys.argv[3]


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

    def test_a_damaged_picture_is_named_and_every_card_made(self):
        # The export design of three records, and on its front one more
        # image object, bound to nothing, whose stored PNG is damaged.
        design = os.path.join(self.dir.name, "damaged.zelg")
        made = self.run_tool([EXPORT_CARDS_DESIGN, design, "3"])
        self.assertEqual(made.returncode, 0, made.stderr)
        with open(design, "rb") as f:
            root = plistlib.load(f)
        front = root[1]["front_graphics"]
        photo = next(g for g in front if g["class"] == "TVNImage")
        extra = dict(photo, data_source_type="0", batch_list_name="", filePath="", Text_Value="")
        extra["image"] = {"data": b"\x89PNG\r\n\x1a\n" + b"\0" * 64, "format": "png", "kind": "bitmap",
                          "width": "60", "height": "40"}
        front.insert(0, extra)
        with open(design, "wb") as f:
            plistlib.dump(root, f)
        before = open(design, "rb").read()

        out = os.path.join(self.dir.name, "out")
        os.mkdir(out)
        pdf = os.path.join(self.dir.name, "cards.pdf")
        named = "These pictures of the design are damaged and are shown as missing:\nThe image (object 1 on the front)"
        exported = self.run_tool([EXPORT_CARDS, design, out, "PNG", "72"])
        self.assertEqual(exported.returncode, 3, exported.stderr)
        self.assertIn(named, exported.stderr)
        self.assertEqual(len(os.listdir(os.path.join(out, "Quorvant"))), 6)
        printed = self.run_tool([PRINT_CARDS, design, pdf, "2", "2", "A4"])
        self.assertEqual(printed.returncode, 3, printed.stderr)
        self.assertIn(named, printed.stderr)
        self.assertIn("3 cards", printed.stdout)
        self.assertEqual(open(design, "rb").read(), before)

    def test_photos_too_large_or_cut_short_are_named_and_the_run_goes_on(self):
        # The export design of four records; its photo series points record 2
        # at a 3 GiB file that starts as a JPEG does (sparse: no disk used)
        # and record 3 at a JPEG cut short. On the front one more image
        # object, bound to nothing, whose stored JPEG is cut short.
        design = os.path.join(self.dir.name, "photos.zelg")
        made = self.run_tool([EXPORT_CARDS_DESIGN, design, "4"])
        self.assertEqual(made.returncode, 0, made.stderr)
        series = os.path.join(made.stdout.strip().rsplit("series in ", 1)[1], "Photos.txt")
        photos = open(series, encoding="utf-8").read().split("\n")
        whole = open(photos[0], "rb").read()
        huge = os.path.join(self.dir.name, "huge.jpg")
        with open(huge, "wb") as f:
            f.write(whole[:4])
            f.truncate(3 << 30)
        cut = os.path.join(self.dir.name, "cut.jpg")
        with open(cut, "wb") as f:
            f.write(whole[: len(whole) * 2 // 3])
        photos[1], photos[2] = huge, cut
        with open(series, "w", encoding="utf-8") as f:
            f.write("\n".join(photos))
        with open(design, "rb") as f:
            root = plistlib.load(f)
        front = root[1]["front_graphics"]
        photo = next(g for g in front if g["class"] == "TVNImage")
        extra = dict(photo, data_source_type="0", batch_list_name="", filePath="", Text_Value="")
        extra["image"] = {"data": whole[: len(whole) // 2], "format": "jpeg", "kind": "bitmap",
                          "width": "60", "height": "40"}
        front.insert(0, extra)
        with open(design, "wb") as f:
            plistlib.dump(root, f)
        before = open(design, "rb").read()

        # An address space of 1.5 GiB, far short of the large file.
        def limited():
            resource.setrlimit(resource.RLIMIT_AS, (3 << 29, resource.RLIM_INFINITY))

        out = os.path.join(self.dir.name, "out")
        os.mkdir(out)
        pdf = os.path.join(self.dir.name, "cards.pdf")
        opened = ("These pictures of the design are damaged and are shown as missing:\n"
                  "The image (object 1 on the front): the picture ends early\n")
        named = ['record 2: "%s" could not be read: the file is too large.' % huge,
                 'record 3: "%s" could not be read: the picture ends early.' % cut,
                 "damaged: The image (object 1 on the front): the picture ends early"]
        for call in ([EXPORT_CARDS, design, out, "PNG", "72"], [PRINT_CARDS, design, pdf, "2", "2", "A4"]):
            with self.subTest(tool=os.path.basename(call[0])):
                result = subprocess.run(call, env=dict(self.env, MALLOC_ARENA_MAX="2"), capture_output=True,
                                        text=True, timeout=120, preexec_fn=limited)
                self.assertEqual(result.returncode, 3, result.stderr)
                self.assertIn(opened, result.stderr)
                for line in named:
                    self.assertIn(line, result.stderr.splitlines())
                self.assertNotIn("bad_alloc", result.stderr)
        # Every card is still made: both sides of four records.
        self.assertEqual(len(os.listdir(os.path.join(out, "Quorvant"))), 8)
        self.assertGreater(os.path.getsize(pdf), 0)
        self.assertEqual(open(design, "rb").read(), before)

    def test_photos_are_judged_by_what_the_decoder_reads(self):
        # A clean JPEG as Qt writes it, and the same edited as cameras,
        # editors and damage leave it: whole ones are drawn as the clean one
        # is, damaged ones named with the reason. Every other value is the
        # same on every record, so the cards of whole photos are the clean
        # card byte for byte.
        design = os.path.join(self.dir.name, "judged.zelg")
        made = self.run_tool([EXPORT_CARDS_DESIGN, design, "9"])
        self.assertEqual(made.returncode, 0, made.stderr)
        folder = made.stdout.strip().rsplit("series in ", 1)[1]
        photos = open(os.path.join(folder, "Photos.txt"), encoding="utf-8").read().split("\n")
        clean = open(photos[0], "rb").read()
        self.assertEqual(clean[6:11], b"JFIF\0")
        padded = clean[:-2] + b"\0" * 20 + clean[-2:]
        revised = lambda data: data[:11] + b"\x02\x01" + data[13:]  # JFIF 2.01
        # As jpegVariants() in the C++ test support scrambles a scan.
        scan = clean.index(b"\xff\xda")
        scan_data = scan + 2 + int.from_bytes(clean[scan + 2:scan + 4], "big")
        scan_bytes = len(clean) - 2 - scan_data
        start, count = scan_data + scan_bytes // 3, min(256, scan_bytes // 4)
        state, noise = 12345, bytearray()
        for _ in range(count):
            state = (state * 1103515245 + 12345) & 0xFFFFFFFF
            noise.append((state >> 16) % 0xFF)
        scrambled = clean[:start] + bytes(noise) + clean[start + count:]
        stray = clean[:2] + b"\0" + clean[2:]
        # Scan parameters (Ss, Se, Ah/Al) that a sequential scan does not use.
        parameters = scan + 5 + 2 * clean[scan + 4]
        scan_parameters = lambda values: clean[:parameters] + bytes(values) + clean[parameters + 3:]
        ends, corrupt = "the picture ends early", "the picture's data is corrupt"
        variants = [("clean", clean, None), ("padded", padded, None), ("jfif201", revised(clean), None),
                    ("padded201", revised(padded), None), ("ahal", scan_parameters([0, 63, 0x11]), None),
                    ("sezero", scan_parameters([0, 0, 0]), None), ("cut", clean[:len(clean) * 2 // 3], ends),
                    ("stray", stray, corrupt), ("straycut", stray[:len(stray) * 2 // 3], ends),
                    ("scrambled", scrambled, corrupt), ("scrambled201", revised(scrambled), corrupt)]
        paths = []
        for name, data, _ in variants:
            paths.append(os.path.join(self.dir.name, name + ".jpg"))
            with open(paths[-1], "wb") as f:
                f.write(data)
        with open(os.path.join(folder, "Photos.txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(paths))
        for other in ("Names", "Roles", "Codes", "BackCodes"):
            path = os.path.join(folder, other + ".txt")
            first = open(path, encoding="utf-8").read().split("\n")[0]
            with open(path, "w", encoding="utf-8") as f:
                f.write("\n".join([first] * len(variants)))

        out = os.path.join(self.dir.name, "out")
        os.mkdir(out)
        result = self.run_tool([EXPORT_CARDS, design, out, "PNG", "72"])
        self.assertEqual(result.returncode, 3, result.stderr)
        named = [line for line in result.stderr.splitlines() if line.startswith("record ")]
        expected = ['record %d: "%s" could not be read: %s.' % (n + 1, paths[n], reason)
                    for n, (_, _, reason) in enumerate(variants) if reason]
        self.assertEqual(named, expected)
        # Front and back of each record, in record order (by the number in
        # the name: "10" after "9").
        cards = sorted(os.listdir(os.path.join(out, "Quorvant")),
                       key=lambda name: [int(part) if part.isdigit() else part
                                         for part in re.split(r"(\d+)", name)])
        self.assertEqual(len(cards), 2 * len(variants))
        # Compared by digest: a failure names the photo, not the bytes.
        pixels = [hashlib.sha256(open(os.path.join(out, "Quorvant", card), "rb").read()).hexdigest()
                  for card in cards]
        per_record = [pixels[2 * n:2 * n + 2] for n in range(len(variants))]
        # A damaged photo is not drawn at all: every such card is the same
        # card without a photo, whatever the decoder would have made of it.
        without = per_record[next(n for n, (_, _, reason) in enumerate(variants) if reason)]
        for n, (name, _, reason) in enumerate(variants):
            with self.subTest(photo=name):
                if reason:
                    self.assertNotEqual(per_record[n], per_record[0])
                    self.assertEqual(per_record[n], without)
                else:
                    self.assertEqual(per_record[n], per_record[0])


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
