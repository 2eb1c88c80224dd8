#!/usr/bin/env python3
"""planted_cases.py CHECKER SRC: the layout check names the file of each include planted below
in a scratch copy of SRC, and passes the copy as it is."""
import pathlib, runpy, shutil, sys, tempfile

CASES = [c.split("|") for c in [  # file|line planted at its top
    "app/apply.cpp|#  include <windows.h>", "app/layout.h|#include <Windows.h>",
    "launch/file_trust.cpp|#include <sddl.h>", "runscript/compose.cpp|# include <WINIOCTL.H>",
    'app/apply.cpp|#include "launch/win32/launch_script.h"', 'app/cascade.cpp|#include "platform/ansi.h"',
    'base/join.cpp|#include "app/form.h"', 'base/join.cpp|#include "files/at_name.h"',
    'platform/ansi.cpp|#include "app/form.h"', 'platform/ansi.cpp|#include "files/at_name.h"',
    'platform/restart.cpp|#include "newpart/thing.h"', 'files/at_name.cpp|#include "runscript/vocabulary.h"',
    'launch/win32/trust_check.cpp|#include "app/win32/form_window.h"',
    'files/win32/file_replace.cpp|#include "launch/launch_actions.h"',
    "newpart/thing.cpp|#include <string>", 'app/apply.cpp|#include "captions.h"']]

check = runpy.run_path(sys.argv[1])["check"]
failed = False
with tempfile.TemporaryDirectory() as scratch:
    src = pathlib.Path(scratch) / "src"
    shutil.copytree(sys.argv[2], src)
    if check(src):
        print("the copy as it is fails", file=sys.stderr)
        failed = True
    for name, line in CASES:
        path = src / name
        saved = path.read_text(encoding="utf-8") if path.exists() else None
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(line + "\n" + (saved or ""), encoding="utf-8")
        if not any(problem.startswith(name) for problem in check(src)):
            print(f"not caught: {name}: {line}", file=sys.stderr)
            failed = True
        path.unlink() if saved is None else path.write_text(saved, encoding="utf-8")
sys.exit(1 if failed else 0)
