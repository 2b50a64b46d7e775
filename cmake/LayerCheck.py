#!/usr/bin/env python3
"""The layer check: folder by folder, includes run one way and never up.

Reads every `#include "..."` and `#include <...>` of the program's source
folders (tests/, bench/, the build's own folders and build trees excluded),
maps the including file and the included file to their
folders and fails when
  - a folder includes a folder of a higher row (rows below),
  - folders include each other, directly or round a longer cycle,
  - a source folder has no row yet (it has to be placed first).
Usage: LayerCheck.py SOURCE_ROOT. Exit status 0 when the layering holds; the
reasons go to standard error, the folder figures to standard output.
"""

import os
import re
import sys

# One row per layer, lowest first: a folder may include its own row and the
# rows below, never a row above.
ROWS = {
    1: ["platform"],
    2: [
        "barcodes/datamatrix", "barcodes/designer", "barcodes/imaging", "barcodes/pdf417",
        "barcodes/qr", "barcodes/qrencoder", "barcodes/render", "barcodes/symbologies",
        "batch_data/binding", "batch_data/import", "batch_data/series", "batch_data/spreadsheet",
        "batch_data/zip",
        "drawing", "output/export", "output/mail", "output/print",
    ],
    3: ["drawing/canvas"],
    4: ["design_window"],
    5: [
        "barcodes/designer_window", "barcodes/widgets",
        "batch_data/import_window", "batch_data/series_window", "batch_data/spreadsheet_window",
        "output/export_window", "output/mail_window", "output/print_window", "output/widgets",
        "profiles_wizards",
    ],
    # The program and the build's own tools, which may use everything.
    6: ["app", "resources/tools"],
}

# Pairs of folders let include each other for a while. Every entry is a
# debt: remove it with the fix. None is left.
KNOWN_MUTUAL = []

SKIPPED_TOP = {"tests", "bench", "cmake", "scripts"}
SOURCE_SUFFIXES = (".h", ".hpp", ".cpp", ".cc", ".cxx", ".inc", ".ipp")
# The quoted and the bracketed form: the source root is on the include path,
# so `#include <design_window/X.h>` reaches a project file as well.
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)', re.MULTILINE)


def row_of():
    rows = {}
    for row, folders in ROWS.items():
        for folder in folders:
            rows[folder] = row
    return rows


def source_files(root):
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root)
        top = rel.split(os.sep)[0]
        # Hidden folders (.git, .ci) and build trees (any folder CMake
        # configured, whatever its name) hold no program sources.
        if rel != "." and (top in SKIPPED_TOP or top.startswith(".")
                           or os.path.isfile(os.path.join(dirpath, "CMakeCache.txt"))):
            dirnames[:] = []
            continue
        dirnames.sort()
        for name in sorted(filenames):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.normpath(os.path.join(rel, name)).replace(os.sep, "/")


def folder_of(path):
    folder = os.path.dirname(path)
    return folder if folder else "."


def include_graph(root):
    """Folder -> {included folder: first file that includes it}, and the
    folders that hold sources."""
    files = set(source_files(root))
    edges = {}
    folders = set()
    for path in sorted(files):
        folder = folder_of(path)
        folders.add(folder)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            text = f.read()
        for quoted, bracketed in INCLUDE.findall(text):
            # Includes are written from the source root; a quoted name is
            # also looked for from the including file's own folder (a bare
            # name, or one that climbs with "../"). Anything else (generated
            # files, system and library headers) is outside the layering.
            written = quoted or bracketed
            candidates = [os.path.normpath(written)]
            if quoted:
                candidates.append(os.path.normpath(os.path.join(folder, written)))
            target = next((c.replace(os.sep, "/") for c in candidates if c.replace(os.sep, "/") in files), None)
            if target is None:
                continue
            to = folder_of(target)
            if to != folder:
                edges.setdefault(folder, {}).setdefault(to, f"{path} includes {written}")
    return folders, edges


def cycles(folders, edges):
    """The strongly connected groups of more than one folder (Tarjan)."""
    index = {}
    low = {}
    stack = []
    on_stack = set()
    groups = []
    counter = [0]

    def visit(v):
        index[v] = low[v] = counter[0]
        counter[0] += 1
        stack.append(v)
        on_stack.add(v)
        for w in sorted(edges.get(v, {})):
            if w not in index:
                visit(w)
                low[v] = min(low[v], low[w])
            elif w in on_stack:
                low[v] = min(low[v], index[w])
        if low[v] == index[v]:
            group = []
            while True:
                w = stack.pop()
                on_stack.discard(w)
                group.append(w)
                if w == v:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for v in sorted(folders | set(edges)):
        if v not in index:
            visit(v)
    return groups


def check(root, known_mutual=KNOWN_MUTUAL, rows_table=None):
    """Returns (problems, figures)."""
    rows = rows_table if rows_table is not None else row_of()
    folders, edges = include_graph(root)
    problems = []
    for folder in sorted(folders):
        if folder not in rows:
            problems.append(f"{folder}/ is not placed in a layer: add it to ROWS in cmake/LayerCheck.py "
                            f"(and to the layer table) before it is built")
    upward = []
    for a in sorted(edges):
        for b, why in sorted(edges[a].items()):
            if a in rows and b in rows and rows[b] > rows[a]:
                upward.append((a, b))
                problems.append(f"{a}/ (row {rows[a]}) includes {b}/ (row {rows[b]}), a higher row: {why}")
    mutual = sorted((a, b) for a in edges for b in edges[a] if a < b and a in edges.get(b, {}))
    allowed = {tuple(sorted(p)) for p in known_mutual}
    for a, b in mutual:
        if (a, b) not in allowed:
            problems.append(f"{a}/ and {b}/ include each other: {edges[a][b]}; {edges[b][a]}")
    groups = cycles(folders, edges)
    for group in groups:
        if len(group) == 2 and tuple(group) in allowed:
            continue
        if len(group) > 2 or tuple(group) not in {tuple(sorted(p)) for p in mutual}:
            problems.append("folders in a cycle of includes: " + " -> ".join(group))
    figures = {
        "folders": len(folders),
        "folder arrows": sum(len(v) for v in edges.values()),
        "pairs that include each other": len(mutual),
        "cycles": len(groups),
        "upward arrows": len(upward),
    }
    return problems, figures


def main(argv):
    if len(argv) != 2:
        print("usage: LayerCheck.py SOURCE_ROOT", file=sys.stderr)
        return 2
    problems, figures = check(argv[1])
    print(", ".join(f"{k}: {v}" for k, v in figures.items()))
    for p in problems:
        print("layer check: " + p, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
