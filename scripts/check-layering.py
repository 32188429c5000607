#!/usr/bin/env python3
"""Fails when a source file includes across the project's layers.

The core (config, link, pages, device, sim) is plain C++: no Qt, no operating
system header outside its platform subfolders (posix/, win32/), no file I/O
around the FileSystem seam, and each folder includes only from the folders
below it. Qt lives in widgets/, the qt/
subfolders and app/. Usage: check-layering.py [SOURCE_ROOT]; exit 1 lists
every offending include as FILE:LINE: reason.
"""
import pathlib
import re
import sys

# What each top folder may include from the project, besides itself.
BELOW = {
    "config": set(),
    "link": {"config"},
    "pages": {"config"},
    "widgets": {"config"},
    "device": {"config", "link", "pages"},
    "sim": {"config", "link", "pages"},
    "cli": {"config", "link", "pages", "device", "sim"},
    "app": {"config", "link", "pages", "device", "sim", "widgets"},
}
CORE = {"config", "link", "pages", "device", "sim"}
PLATFORM = {"posix", "win32"}
# Qt folders of the core may use the shared widgets.
QT_EXTRA = {"widgets"}
# Headers CMake generates into the build tree.
GENERATED = {"tamlo_version.h"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')
# The core reaches files through the FileSystem seam (config/file_system.h):
# no file streams, no std::filesystem calls that touch the disk.
STREAMS = {"fstream"}
DISK_CALL = re.compile(r'\b(?:std::filesystem|fs)::(create_director(?:y|ies)|remove(?:_all)?|rename|'
                       r'directory_iterator|recursive_directory_iterator|exists|is_regular_file|'
                       r'is_directory|file_size|copy_file|status)\b')


def problems(root: pathlib.Path):
    for path in sorted(root.rglob("*")):
        if path.suffix not in {".h", ".cpp"}:
            continue
        rel = path.relative_to(root)
        top = rel.parts[0]
        if top not in BELOW:
            continue
        sub = set(rel.parts[1:-1])
        qt_allowed = top in {"widgets", "app"} or "qt" in sub
        os_allowed = top not in CORE or bool(sub & PLATFORM) or qt_allowed
        allowed = BELOW[top] | {top} | (QT_EXTRA if "qt" in sub else set())
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            call = DISK_CALL.search(line.split("//")[0])
            if call and not os_allowed:
                yield f"{rel}:{number}: file system call {call.group(0)} outside the FileSystem seam"
            match = INCLUDE.match(line)
            if not match:
                continue
            kind, name = match.groups()
            where = f"{rel}:{number}"
            if kind == "<":
                if name.startswith("Q"):
                    if not qt_allowed:
                        yield f"{where}: Qt header <{name}> in plain C++ code"
                elif name in STREAMS and not os_allowed:
                    yield f"{where}: <{name}> outside the FileSystem seam"
                elif (name.endswith(".h") or "/" in name) and not os_allowed:
                    yield f"{where}: system header <{name}> outside a platform folder"
                continue
            if name in GENERATED:
                continue
            folder = name.split("/")[0]
            inc_sub = set(name.split("/")[1:-1])
            if folder not in allowed:
                yield f"{where}: includes {name} from a folder {top}/ may not use"
            elif top in CORE and inc_sub & PLATFORM and not sub & PLATFORM:
                yield f"{where}: includes the platform header {name} outside a platform folder"
            elif top in CORE and "qt" in inc_sub and not qt_allowed:
                yield f"{where}: includes the Qt header {name} from plain C++ code"


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = list(problems(root))
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} finding(s) across the layers", file=sys.stderr)
        return 1
    print("layering: every include stays within its layer")
    return 0


if __name__ == "__main__":
    sys.exit(main())
