#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, lowest first; a folder may include its own headers and those of folders on
earlier lines, never those of a later line nor of another folder on its own line:
  1 platform; 2 crypto, iconlib, toolbar/core; 3 codecs, framework/core, toolbar/ui;
  4 export, codecs/ui, controls/core; 5 controls/ui; 6 framework/ui; 7 app/core; 8 app/ui;
  9 the program (app's main, its display probe, its stop-signal boxes and build-time tools).
The core (every folder but the ui ones and the program) includes no Qt header either.
Every include form counts: quoted or angled, from the root ("export/X.h") or relative to the
including file ("../export/X.h", "X.h"). The libraries' link edges (target_link_libraries in each
folder's CMakeLists.txt) follow the same order, and a core library links no Qt.
Usage: check_layers.py [ROOT]  (ROOT defaults to the checkout holding this script)."""
import pathlib
import re
import sys

LAYERS = [
    ["platform"],
    ["crypto", "iconlib", "toolbar/core"],
    ["codecs", "framework/core", "toolbar/ui"],
    ["export", "codecs/ui", "controls/core"],
    ["controls/ui"],
    ["framework/ui"],
    ["app/core"],
    ["app/ui"],
    ["app"],
]
SOURCES = {".c", ".cc", ".cpp", ".h", ".hpp"}
INCLUDE = re.compile(r'^\s*#\s*include\s*(?:"([^"]+)"|<([^>]+)>)', re.MULTILINE)
QT_HEADER = re.compile(r'^Q[A-Za-z]*(/[A-Za-z]+)?$')
LINK = re.compile(r'\btarget_link_libraries\s*\(([^)]*)\)', re.IGNORECASE)
DEFINE = re.compile(r'\badd_(?:library|executable)\s*\(\s*([A-Za-z0-9_.+-]+)', re.IGNORECASE)
LINK_KEYWORDS = {"PUBLIC", "PRIVATE", "INTERFACE", "LINK_PUBLIC", "LINK_PRIVATE", "LINK_INTERFACE_LIBRARIES"}
WITH_QT = {"codecs/ui", "toolbar/ui", "controls/ui", "framework/ui", "app/ui", "app"}


def folder_of(relative):
    """The layered folder a path under the root belongs to, or None outside every layer.
    The longest match wins, so app/core/X is app/core's and app/main.cpp the program's."""
    best = None
    for folders in LAYERS:
        for folder in folders:
            if (relative == folder or relative.startswith(folder + "/")) and (best is None or len(folder) > len(best)):
                best = folder
    return best


def level_of(folder):
    return next(level for level, folders in enumerate(LAYERS) if folder in folders)


def resolve(root, including, name):
    """The path under the root an include names, as the compiler would find it: beside the
    including file first (a quoted include), then from the root (every library's include
    folder). A name found nowhere (a planted tree, a generated header) is taken from the root,
    or from the including file when it starts with a dot. None when it leaves the root."""
    here = including.parent
    candidates = [here / name, root / name] if not name.startswith(".") else [here / name]
    chosen = next((c for c in candidates if c.is_file()), candidates[0] if name.startswith(".") else root / name)
    try:
        return pathlib.Path(*chosen.resolve().relative_to(root.resolve()).parts).as_posix()
    except ValueError:
        return None


def include_violations(root, path, relative, own):
    found = []
    text = path.read_text(encoding="utf-8", errors="replace")
    for match in INCLUDE.finditer(text):
        quoted, angled = match.group(1), match.group(2)
        name = quoted or angled
        line = text.count("\n", 0, match.start()) + 1
        if angled and QT_HEADER.match(angled):
            if own not in WITH_QT:
                found.append(f"{relative}:{line}: {own} is core and includes Qt's <{angled}>")
            continue
        target_path = resolve(root, path, name)
        target = folder_of(target_path) if target_path else None
        reason = against_order(own, target)
        if reason:
            found.append(f"{relative}:{line}: {own} includes {name} of {target}, {reason}")
    return found


def against_order(own, other):
    """How reaching `other` from `own` breaks the order, or None when it may."""
    if other is None or other == own or level_of(other) < level_of(own):
        return None
    return f"a layer {'above' if level_of(other) > level_of(own) else 'beside'} it"


def layered_files(root, pattern):
    tops = sorted({folder.split("/")[0] for folders in LAYERS for folder in folders})
    return sorted(path for top in tops if (root / top).is_dir() for path in (root / top).rglob(pattern))


def link_violations(root):
    """Every target_link_libraries of a layered folder's CMakeLists.txt, held to the order:
    a target is of the folder whose CMakeLists.txt defines it."""
    owner, links = {}, []
    for path in layered_files(root, "CMakeLists.txt"):
        relative = path.relative_to(root).as_posix()
        folder = folder_of(path.parent.relative_to(root).as_posix())
        if folder is None:
            continue
        text = re.sub(r"#[^\n]*", "", path.read_text(encoding="utf-8", errors="replace"))
        for match in DEFINE.finditer(text):
            owner[match.group(1)] = folder
        for match in LINK.finditer(text):
            words = match.group(1).split()
            line = text.count("\n", 0, match.start()) + 1
            links += [(relative, line, folder, words[0], word) for word in words[1:]
                      if word not in LINK_KEYWORDS and not word.startswith("$")]
    found = []
    for relative, line, folder, target, library in links:
        own = owner.get(target, folder)
        if library.startswith("Qt") and own not in WITH_QT:
            found.append(f"{relative}:{line}: {target} of {own} is core and links Qt's {library}")
        other = owner.get(library)
        reason = against_order(own, other)
        if reason:
            found.append(f"{relative}:{line}: {target} of {own} links {library} of {other}, {reason}")
    return found


def violations(root):
    found = []
    for path in layered_files(root, "*"):
        relative = path.relative_to(root).as_posix()
        if path.suffix not in SOURCES or not path.is_file():
            continue
        own = folder_of(relative)
        if own is not None:  # tests, benchmarks and fuzz targets may reach any layer
            found += include_violations(root, path, relative, own)
    return found + link_violations(root)


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = violations(root)
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) or link(s) against the layer order")
        return 1
    print("every include and link respects the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
