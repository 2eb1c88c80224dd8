#!/usr/bin/env python3
"""Where code lives and what it may include, as an allow-list.

    scripts/layout-check.py [SRC]      (default: src/ of this checkout)

Prints one line per broken rule and exits 1; exits 0 when every file keeps to the rules:
- every file lies in a known folder: a subsystem below, or its win32/ folder;
- portable folders (everything but platform/ and */win32/) include only the C++ standard
  library and portable folders, so no Windows header can reach a native build;
- base/ includes only base/; platform/, the thin layer over Win32, only platform/ and base/;
- a subsystem includes only itself and the subsystems listed for it (dependencies point down);
- a subsystem's win32/ folder includes its own subsystem, base/, platform/, and the subsystems
  listed for it with their win32/ folders: app/win32/ puts the program together from them.
A new subsystem gets a line in USES before anything may include it.
"""
import pathlib
import re
import sys

# Each portable subsystem, with the subsystems below it that it may use.
USES = {
    "base": set(),
    "files": {"base"},
    "runscript": {"base", "files"},
    "launch": {"base", "files", "runscript"},
    "app": {"base", "files", "runscript", "launch"},
    # The DOS partition check, a program of its own beside the launcher.
    "dospart": {"base"},
}
PLATFORM = "platform"

# The C++ standard library's headers: the only ones a portable file may include with <>.
STANDARD = set(
    """algorithm any array atomic barrier bit bitset cassert cctype cerrno cfenv cfloat charconv
    chrono cinttypes climits clocale cmath codecvt compare complex concepts condition_variable
    coroutine csetjmp csignal cstdarg cstddef cstdint cstdio cstdlib cstring ctime cuchar cwchar
    cwctype deque exception execution expected filesystem format forward_list fstream functional
    future initializer_list iomanip ios iosfwd iostream istream iterator latch limits list locale
    map memory memory_resource mutex new numbers numeric optional ostream queue random ranges
    ratio regex scoped_allocator semaphore set shared_mutex source_location span sstream stack
    stdexcept stop_token streambuf string string_view syncstream system_error thread tuple
    type_traits typeindex typeinfo unordered_map unordered_set utility valarray variant vector
    version""".split()
)

SOURCES = {".c", ".cc", ".cpp", ".cxx", ".h", ".hh", ".hpp", ".inl", ".ipp"}
DIRECTIVE = re.compile(r"^\s*#\s*include\b(.*)$")
TARGET = re.compile(r'^\s*([<"])([^>"]+)[>"]')


def folder_kind(folder):
    """('portable'|'win32'|'platform', subsystem) for a folder under src/, or None."""
    parts = folder.split("/")
    if parts == [PLATFORM]:
        return "platform", PLATFORM
    if parts[0] in USES and len(parts) == 1:
        return "portable", parts[0]
    if parts[0] in USES and parts[0] != "base" and parts[1:] == ["win32"]:
        return "win32", parts[0]
    return None


def may_include(kind, subsystem, target):
    target_kind = folder_kind(target)
    if target_kind is None:
        return False
    tkind, tsub = target_kind
    if kind == "platform":
        return tkind == "platform" or tsub == "base"
    allowed = USES[subsystem] | {subsystem}
    if kind == "portable":
        return tkind == "portable" and tsub in allowed
    # win32: its own subsystem and the ones below it, portable or Win32, and platform/.
    return tkind == "platform" or tsub in allowed


def check(src):
    problems = []
    for path in sorted(src.rglob("*")):
        if not path.is_file():
            continue
        rel = path.relative_to(src).as_posix()
        if path.suffix.lower() not in SOURCES:
            continue  # settings such as .clang-tidy
        where = folder_kind(path.parent.relative_to(src).as_posix())
        if where is None:
            problems.append(f"{rel}: not in a known folder (a subsystem, its win32/, platform/)")
            continue
        kind, subsystem = where
        text = path.read_text(encoding="utf-8", errors="replace")
        for number, line in enumerate(text.splitlines(), 1):
            directive = DIRECTIVE.match(line)
            if not directive:
                continue
            target = TARGET.match(directive.group(1))
            at = f"{rel}:{number}"
            if not target:
                problems.append(f"{at}: an include that names no file: {line.strip()}")
            elif target.group(1) == "<":
                if kind == "portable" and target.group(2).strip() not in STANDARD:
                    problems.append(f"{at}: portable code includes <{target.group(2)}>")
            elif "/" not in target.group(2):
                problems.append(f"{at}: an include that names no folder: {target.group(2)}")
            elif not may_include(kind, subsystem, target.group(2).rsplit("/", 1)[0]):
                problems.append(f"{at}: {path.parent.relative_to(src).as_posix()}/ may not "
                                f"include {target.group(2)}")
    return problems


def main():
    src = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else
                       pathlib.Path(__file__).resolve().parent.parent / "src")
    problems = check(src)
    for problem in problems:
        print(f"layout: {problem}", file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
