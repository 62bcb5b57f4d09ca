# SPDX-License-Identifier: GPL-3.0-or-later
"""Dependencies between the libraries point one way: checks every #include.

Each library of the project lists its sources, and drobi_export_headers()
(cmake/DrobiHeaders.cmake) writes that list to <build>/include_rules/<library>.txt:
the library's folder on the first line, then one source a line. Every source
of every library is read; each #include of a file of ours must name a file
listed by the library itself or by one it may include, and each Qt header
must come from a Qt module it may use. A header of ours that no library lists
cannot be included at all.

usage: include_rules.py <source root> <folder of the lists> <Qt's include folder>
"""

import os
import re
import sys

ANY_QT = ("*",)
WIDGETS = ("QtCore", "QtGui", "QtWidgets")

# library: (libraries of ours it may include, Qt modules it may include).
# A new library is one line here.
RULES = {
    "runtime": ((), ()),
    "runtime_ui": (("runtime",), WIDGETS),
    "runtime_test_support": (("runtime",), WIDGETS + ("QtTest",)),
    "fraction": (("runtime",), ()),
    "session": (("fraction", "runtime"), ()),
    "results": (("session", "fraction", "runtime"), ("QtCore",)),
    "window": (("session", "fraction", "runtime", "runtime_ui", "results"), ANY_QT),
    "class_launcher": ((), ()),
    "classview_model": (("results", "session", "fraction", "runtime"), ("QtCore", "QtSql")),
    "classview_test_support": (("classview_model", "results", "session", "fraction", "runtime", "runtime_test_support"), ("QtCore", "QtTest")),
    "classview_ui": (("classview_model", "results", "session", "fraction", "runtime"), ANY_QT),
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def qt_module(header, qt_root, modules):
    """The Qt module that holds <header>, or None when Qt has no such header."""
    first, _, rest = header.partition("/")
    if rest and first in modules:
        return first
    for module in modules:
        if os.path.isfile(os.path.join(qt_root, module, header)):
            return module
    return None


def main():
    root, lists, qt_root = (os.path.realpath(a) for a in sys.argv[1:4])
    modules = sorted(m for m in os.listdir(qt_root) if m.startswith("Qt"))
    owner = {}    # real path of a source -> its library
    sources = {}  # library -> real paths of its sources
    for name in sorted(os.listdir(lists)):
        library = name.removesuffix(".txt")
        with open(os.path.join(lists, name), encoding="utf-8") as f:
            folder, *listed = [line.strip() for line in f if line.strip()]
        paths = [os.path.realpath(os.path.join(folder, s)) for s in listed]
        sources[library] = [p for p in paths if p.startswith(root + os.sep) and os.path.isfile(p)]
        for path in sources[library]:
            owner[path] = library

    problems = [f"library {library} has no line in the table of {__file__}"
                for library in sources if library not in RULES]
    for library, paths in sources.items():
        ours, qt = RULES.get(library, ((), ()))
        for path in paths:
            where = os.path.relpath(path, root)
            with open(path, encoding="utf-8") as f:
                for number, line in enumerate(f, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    header = match.group(2)
                    target = os.path.realpath(os.path.join(root, header))
                    if match.group(1) == '"' and os.path.isfile(target):
                        by = owner.get(target)
                        if by is None:
                            problems.append(f"{where}:{number}: {header} is listed in no library's sources")
                        elif by != library and by not in ours:
                            problems.append(f"{where}:{number}: {library} may not include {header} ({by})")
                        continue
                    module = qt_module(header, qt_root, modules)
                    if module and qt != ANY_QT and module not in qt:
                        problems.append(f"{where}:{number}: {library} may not include {header} ({module})")

    if problems:
        print("FAIL: includes against the one-way rule:\n  " + "\n  ".join(problems))
        return 1
    print(f"ok: {sum(len(p) for p in sources.values())} sources of {len(sources)} libraries")
    return 0


if __name__ == "__main__":
    sys.exit(main())
