#!/usr/bin/env python3
"""The layout check fails for each include planted below in a scratch copy of src/, and names
the file it was planted in; the copy as it is passes.

    tests/layout/planted_cases.py CHECKER SRC
"""
import importlib.util
import pathlib
import shutil
import sys
import tempfile

# file, line planted at its top
CASES = [
    ("app/apply.cpp", "#  include <windows.h>"),
    ("app/layout.h", "#include <Windows.h>"),
    ("launch/file_trust.cpp", "#include <sddl.h>"),
    ("runscript/compose.cpp", "# include <WINIOCTL.H>"),
    ("app/apply.cpp", '#include "launch/win32/launch_script.h"'),
    ("app/cascade.cpp", '#include "platform/ansi.h"'),
    ("base/join.cpp", '#include "app/form.h"'),
    ("base/join.cpp", '#include "files/at_name.h"'),
    ("platform/ansi.cpp", '#include "app/form.h"'),
    ("platform/ansi.cpp", '#include "files/at_name.h"'),
    ("platform/restart.cpp", '#include "newpart/thing.h"'),
    ("files/at_name.cpp", '#include "runscript/vocabulary.h"'),
    ("launch/win32/trust_check.cpp", '#include "app/win32/form_window.h"'),
    ("files/win32/file_replace.cpp", '#include "launch/launch_actions.h"'),
    ("newpart/thing.cpp", "#include <string>"),
    ("app/apply.cpp", '#include "captions.h"'),
]


def main():
    spec = importlib.util.spec_from_file_location("layout_check", sys.argv[1])
    checker = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(checker)
    failed = False
    with tempfile.TemporaryDirectory() as scratch:
        src = pathlib.Path(scratch) / "src"
        shutil.copytree(sys.argv[2], src)
        if checker.check(src):
            print("the unchanged copy fails:", checker.check(src), file=sys.stderr)
            return 1
        for name, line in CASES:
            path = src / name
            saved = path.read_text(encoding="utf-8") if path.exists() else None
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_text(line + "\n" + (saved or ""), encoding="utf-8")
            problems = checker.check(src)
            if not any(problem.startswith(name) for problem in problems):
                print(f"not caught: {name}: {line} ({problems})", file=sys.stderr)
                failed = True
            if saved is None:
                path.unlink()
            else:
                path.write_text(saved, encoding="utf-8")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
