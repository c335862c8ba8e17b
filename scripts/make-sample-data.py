#!/usr/bin/env python3
"""Writes data/ramiflex.rsf and data/ramiflex.xml from this repository's own sources.

Folders and files form the hierarchy (the repository is the root); every #include of a header
found in the tree becomes a relation edge from the including file to the header.
Run from anywhere: python3 scripts/make-sample-data.py
"""
import os
import re
from xml.sax.saxutils import quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCE_DIRS = ["src", "tests", "bench", "shader"]
EXTENSIONS = (".h", ".cpp", ".glsl")
INCLUDE = re.compile(r'^\s*#\s*include\s*[<"]([^>"]+)[>"]')


def collect():
    names = ["ramiflex"]
    parents = [None]
    files = {}  # relative path -> vertex id
    dir_ids = {"": 0}
    for top in SOURCE_DIRS:
        for folder, subdirs, filenames in os.walk(os.path.join(ROOT, top)):
            subdirs.sort()
            rel = os.path.relpath(folder, ROOT)
            parent_rel = os.path.dirname(rel)
            if rel not in dir_ids:
                dir_ids[rel] = len(names)
                names.append(os.path.basename(rel) + "/")
                parents.append(dir_ids.get(parent_rel, 0))
            for name in sorted(filenames):
                if name.endswith(EXTENSIONS):
                    files[os.path.join(rel, name)] = len(names)
                    names.append(name)
                    parents.append(dir_ids[rel])
    by_basename = {}
    for path, vid in files.items():
        by_basename.setdefault(os.path.basename(path), vid)
    relations = []
    for path, vid in sorted(files.items(), key=lambda item: item[1]):
        with open(os.path.join(ROOT, path), encoding="utf-8", errors="replace") as source:
            for line in source:
                match = INCLUDE.match(line)
                if match and os.path.basename(match.group(1)) in by_basename:
                    relations.append((vid, by_basename[os.path.basename(match.group(1))]))
    return names, parents, relations


def main():
    names, parents, relations = collect()
    tree = [(parents[v], v) for v in range(1, len(names))]
    with open(os.path.join(ROOT, "data", "ramiflex.rsf"), "w", encoding="utf-8") as out:
        out.write('"LevelSeparator" "/"\n"Root" "0"\n')
        for vid, name in enumerate(names):
            out.write(f'"H" "{vid}" "{name}"\n')
        for parent, child in tree:
            out.write(f'"PCR" "{parent}" "{child}"\n')
        for start, end in relations:
            out.write(f'"R" "{start}" "{end}"\n')
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
