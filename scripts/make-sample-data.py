#!/usr/bin/env python3
"""Writes data/ramiflex.rsf and data/ramiflex.xml from this repository's own sources, or an RSF
file of any C/C++ source tree.

Folders and files form the hierarchy (the top folder is the root); every #include of a header
found in the tree becomes a relation edge from the including file to the header.
Run from anywhere:
    python3 scripts/make-sample-data.py                   # the bundled sample graph
    python3 scripts/make-sample-data.py SOURCE_DIR OUT.rsf  # e.g. /usr/include/boost, 15k files
"""
import os
import re
from xml.sax.saxutils import quoteattr

import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_DIRS = ["src", "tests", "bench", "shader"]
EXTENSIONS = (".h", ".cpp", ".glsl")
TREE_EXTENSIONS = (".h", ".hh", ".hpp", ".hxx", ".ipp", ".inl", ".c", ".cc", ".cpp", ".cxx")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def collect(root=ROOT, source_dirs=SOURCE_DIRS, extensions=EXTENSIONS):
    names = ["ramiflex"]
    parents = [None]
    files = {}  # relative path -> vertex id
    dir_ids = {"": 0, ".": 0}
    for top in source_dirs:
        for folder, subdirs, filenames in os.walk(os.path.join(root, top)):
            subdirs.sort()
            rel = os.path.relpath(folder, root)
            parent_rel = os.path.dirname(rel)
            if rel not in dir_ids:
                dir_ids[rel] = len(names)
                names.append(os.path.basename(rel) + "/")
                parents.append(dir_ids.get(parent_rel, 0))
            for name in sorted(filenames):
                if name.endswith(extensions):
                    files[os.path.normpath(os.path.join(rel, name))] = len(names)
                    names.append(name)
                    parents.append(dir_ids[rel])
    by_basename = {}
    # An include names a header by its last path components.
    by_tail = {}
    for path, vid in files.items():
        by_basename.setdefault(os.path.basename(path), vid)
        parts = [os.path.basename(root)] + path.split(os.sep)
        for k in range(2, len(parts) + 1):
            by_tail.setdefault("/".join(parts[-k:]), vid)
    relations = []
    for path, vid in sorted(files.items(), key=lambda item: item[1]):
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for line in source:
                match = INCLUDE.match(line)
                if not match:
                    continue
                name = match.group(1).lstrip("./")
                target = by_tail.get(name, by_basename.get(os.path.basename(name)))
                if target is not None:
                    relations.append((vid, target))
    return names, parents, relations


def write_rsf(path, names, tree, relations):
    with open(path, "w", encoding="utf-8") as out:
        out.write('"LevelSeparator" "/"\n"Root" "0"\n')
        for vid, name in enumerate(names):
            out.write(f'"H" "{vid}" "{name}"\n')
        for parent, child in tree:
            out.write(f'"PCR" "{parent}" "{child}"\n')
        for start, end in relations:
            out.write(f'"R" "{start}" "{end}"\n')


def main():
    if len(sys.argv) == 3:
        source = os.path.abspath(sys.argv[1])
        names, parents, relations = collect(source, ["."], TREE_EXTENSIONS)
        tree = [(parents[v], v) for v in range(1, len(names))]
        write_rsf(sys.argv[2], names, tree, relations)
        print(f"{len(names)} vertices, {len(tree)} hierarchy edges, {len(relations)} relation edges")
        return
    names, parents, relations = collect()
    tree = [(parents[v], v) for v in range(1, len(names))]
    write_rsf(os.path.join(ROOT, "data", "ramiflex.rsf"), names, tree, relations)
    with open(os.path.join(ROOT, "data", "ramiflex.xml"), "w", encoding="utf-8") as out:
        out.write('<?xml version="1.0" encoding="UTF-8"?>\n<Root root_id="0">\n')
        for vid, name in enumerate(names):
            out.write(f'  <Node id="{vid}" name={quoteattr(name)}/>\n')
        for parent, child in tree:
            out.write(f'  <HierarchyEdge start="{parent}" end="{child}"/>\n')
        for start, end in relations:
            out.write(f'  <RelationEdge start="{start}" end="{end}"/>\n')
        out.write("</Root>\n")
    print(f"{len(names)} vertices, {len(tree)} hierarchy edges, {len(relations)} relation edges")


if __name__ == "__main__":
    main()
