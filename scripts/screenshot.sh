#!/usr/bin/env bash
# Takes the README pictures of the window: scripts/screenshot.sh [--dpi N] [OUTPUT.png]
# (default docs/window-<N>dpi.png, N = 96). The program runs under Wine in the project's
# prefix (for another density, a copy of it set to that density), on an Xvfb of its own, and
# the picture is exactly the window, frame included.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dpi=96
if [[ ${1:-} == --dpi ]]; then
  dpi=${2:?usage: scripts/screenshot.sh [--dpi N] [OUTPUT.png]}
  shift 2
fi
# A path given is taken from where we were called; the default lives in the repository.
out=$(realpath -m "${1:-$root/docs/window-${dpi}dpi.png}")
cd "$root"

source scripts/deps.sh
source scripts/wine-session.sh
deps_ensure
win_build addmorvane

XVFB_DPI=$dpi
wine_session_begin
if ((dpi != 96)); then
  # Wine takes the density from the prefix. Only one server stays: the copy's, which ends
  # with the session.
  copy=$(tests/high-dpi-run --prepare "$dpi")
  wine_server_stop
  export WINEPREFIX=$copy
fi
"$WINE" "$WIN_EXE" >/dev/null 2>&1 &
wine_screenshot_window addmorvane "$out" $!
echo "screenshot: $out"
