#!/usr/bin/env python3
"""Fails when a source file includes a header of a layer above its own.

The layers, lowest first; a folder may include its own headers and those of folders on
earlier lines, never those of a later line nor of another folder on its own line:
  1 platform; 2 crypto, iconlib, toolbar/core; 3 codecs, framework/core, toolbar/ui;
  4 export, codecs/ui, controls/core; 5 controls/ui; 6 framework/ui; 7 app/core; 8 app/ui;
  9 the program (app's main, its display probe, its stop-signal boxes and build-time tools).
The core (every folder but the ui ones and the program) includes no Qt header either.
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
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"', re.MULTILINE)
QT_INCLUDE = re.compile(r'^\s*#\s*include\s*<(Q[A-Za-z]*(/[A-Za-z]+)?)>', re.MULTILINE)
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


def violations(root):
    found = []
    tops = sorted({folder.split("/")[0] for folders in LAYERS for folder in folders})
    paths = sorted(path for top in tops if (root / top).is_dir() for path in (root / top).rglob("*"))
    for path in paths:
        relative = path.relative_to(root).as_posix()
        if path.suffix not in SOURCES or not path.is_file():
            continue
        own = folder_of(relative)
        if own is None:
            continue  # tests, benchmarks and fuzz targets may reach any layer
        text = path.read_text(encoding="utf-8", errors="replace")
        if own not in WITH_QT:
            for match in QT_INCLUDE.finditer(text):
                line = text.count("\n", 0, match.start()) + 1
                found.append(f"{relative}:{line}: {own} is core and includes Qt's <{match.group(1)}>")
        for match in INCLUDE.finditer(text):
            target = folder_of(match.group(1))
            if target is None or target == own:
                continue
            if level_of(target) >= level_of(own):
                line = text.count("\n", 0, match.start()) + 1
                found.append(f"{relative}:{line}: {own} includes {match.group(1)} of {target}, "
                             f"a layer {'above' if level_of(target) > level_of(own) else 'beside'} it")
    return found


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = violations(root)
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) against the layer order")
        return 1
    print("every include respects the layer order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
