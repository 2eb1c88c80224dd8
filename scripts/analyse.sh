#!/usr/bin/env bash
# clang-tidy and cppcheck over all of the program's code, sourced by ./test. Which files are
# portable and which are Win32 code is CMake's decision (by folder, see CMakeLists.txt); the
# analysers take the sources from the two compile databases: the host build's holds the
# portable ones, the cross build's the rest, which clang analyses for the MinGW target with
# the cross compiler's own headers. clang-tidy's verdicts are kept per file, keyed by
# everything that can change them, so an unchanged tree is analysed again in no time.
set -euo pipefail

# analysed_sources DB [EXCLUDE_DB]: the program's sources in DB and not in EXCLUDE_DB.
analysed_sources() {
  python3 - "$@" <<'PY'
import json, os, sys
def sources(db):
    with open(db) as f:
        return {os.path.realpath(e["file"]) for e in json.load(f)}
root = os.path.realpath(os.path.join(os.path.dirname(sys.argv[1]), "..", ".."))
src = os.path.join(root, "src") + os.sep
chosen = {f for f in sources(sys.argv[1]) if f.startswith(src)}
if len(sys.argv) > 2:
    chosen -= sources(sys.argv[2])
print("\n".join(sorted(chosen)))
PY
}

# The cross compiler's C++ and MinGW header folders, for clang.
mingw_header_args() {
  local compiler=$1 dir
  "$compiler" -xc++ -E -v - </dev/null 2>&1 |
    sed -n '/#include <...> search starts here:/,/End of search list./p' | sed '1d;$d' |
    while read -r dir; do
      # GCC's own intrinsic headers are the compiler's business; clang brings its own.
      [[ $dir == */include || $dir == */include-fixed ]] && [[ $dir != */x86_64-w64-mingw32/include ]] &&
        continue
      printf -- '--extra-arg=-isystem%s\n' "$(realpath "$dir")"
    done
}

# tidy_files DB CACHE_DIR [EXTRA_ARG...] < files: runs clang-tidy on each file whose verdict is
# not cached yet, two at a time.
tidy_files() {
  local db=$1 cache=$2
  shift 2
  mkdir -p "$cache"
  local common
  common=$(
    {
      clang-tidy --version
      printf '%s\n' "$@"
      cat .clang-tidy src/platform/.clang-tidy src/app/win32/.clang-tidy
      find src -name '*.h' -print0 | sort -z | xargs -0 cat
    } | sha256sum | cut -c1-64
  )
  local file key pending=()
  while read -r file; do
    key=$(cat <(echo "$common") "$file" | sha256sum | cut -c1-64)
    [[ -f $cache/$key ]] || pending+=("$file:$key")
  done
  ((${#pending[@]} > 0)) || return 0
  printf '%s\n' "${pending[@]}" |
    xargs -P2 -I{} bash -c '
      file=${1%:*} key=${1##*:}
      clang-tidy --quiet -p "$2" "${@:4}" "$file" 2>/dev/null && touch "$3/$key"
    ' _ {} "$db" "$cache" "$@"
}

tidy_check() {
  local host_db=$1 win_db=$2 cache=$3 compiler=$4
  local -a mingw
  mapfile -t mingw < <(mingw_header_args "$compiler")
  analysed_sources "$host_db" | tidy_files "$(dirname "$host_db")" "$cache/host"
  analysed_sources "$win_db" "$host_db" |
    tidy_files "$(dirname "$win_db")" "$cache/win32" \
      --extra-arg=--target=x86_64-w64-windows-gnu --extra-arg=-nostdinc++ "${mingw[@]}"
}

cppcheck_check() {
  local host_db=$1 win_db=$2 cache=$3
  local -a common=(--quiet --error-exitcode=1 --std=c++20 --language=c++
    --enable=warning,performance,portability --inline-suppr -I src)
  mkdir -p "$cache/host" "$cache/win32"
  local -a files
  mapfile -t files < <(analysed_sources "$host_db")
  cppcheck "${common[@]}" --cppcheck-build-dir="$cache/host" "${files[@]}"
  mapfile -t files < <(analysed_sources "$win_db" "$host_db")
  cppcheck "${common[@]}" --cppcheck-build-dir="$cache/win32" --platform=win64 \
    -D_WIN32 -D_WIN64 -DUNICODE -D_UNICODE "${files[@]}"
}
