#!/usr/bin/env bash
# Takes the README picture of the window: scripts/screenshot.sh [OUTPUT.png]
# (default docs/window-96dpi.png). The program runs under Wine in the project's prefix, on an
# Xvfb of its own at 96 dpi, and the picture is exactly the window, frame included.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# A path given is taken from where we were called; the default lives in the repository.
out=$(realpath -m "${1:-$root/docs/window-96dpi.png}")
cd "$root"

source scripts/deps.sh
source scripts/wine-session.sh
deps_ensure
win_build addmorvane

XVFB_DPI=96
wine_session_begin
"$WINE" "$WIN_EXE" >/dev/null 2>&1 &
wine_screenshot_window addmorvane "$out" $!
echo "screenshot: $out"
