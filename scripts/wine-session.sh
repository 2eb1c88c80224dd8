#!/usr/bin/env bash
# Helpers for running the Windows build under Wine: a private Xvfb, the project's own Wine
# prefix (build/wine-prefix) and a persistent wineserver. Sourced by ./run, ./test and
# scripts/screenshot.sh. Nothing here uses the developer's display or ~/.wine.
#
#   win_build addmorvane      # configure build/win (mingw-w64) and build a target
#   wine_session_begin        # own Xvfb, prefix, persistent wineserver; cleans up on exit
#   "$WINE" "$WIN_EXE" & wine_screenshot_window addmorvane out.png $!
set -euo pipefail

ADDMORVANE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The prefix is always the project's own, even if the caller's shell names another one.
export WINEPREFIX="$ADDMORVANE_ROOT/build/wine-prefix"
# shellcheck source=scripts/wine-env.sh
source "$ADDMORVANE_ROOT/scripts/wine-env.sh"

WIN_BUILD_DIR="$ADDMORVANE_ROOT/build/win"
# shellcheck disable=SC2034 # for the scripts that source this file
WIN_EXE="$WIN_BUILD_DIR/addmorvane.exe"

XVFB_PID=
XVFB_AUTH_DIR=
XVFB_SCREEN=1024x768x24
XVFB_DPI=96

# Lines of our own go to stderr: stdout belongs to the programs being run.
wine_session_log() { printf '%s\n' "$*" >&2; }

# The cross build tree; configuring again is cheap and picks up new options.
win_configure() {
  cmake -S "$ADDMORVANE_ROOT" -B "$WIN_BUILD_DIR" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ADDMORVANE_ROOT/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$ADDMORVANE_ROOT/tests/wine-run"
}

# Builds the given targets of the cross build (all of them without arguments).
win_build() {
  local -a targets=()
  (($# == 0)) || targets=(--target "$@")
  win_configure
  cmake --build "$WIN_BUILD_DIR" -j2 "${targets[@]}"
}

# Waits until the X display in $DISPLAY answers; fails after $1 seconds or when Xvfb dies.
xvfb_wait_ready() {
  local deadline=$((SECONDS + ${1:-15}))
  until xdpyinfo >/dev/null 2>&1; do
    if [[ -n $XVFB_PID ]] && ! kill -0 "$XVFB_PID" 2>/dev/null; then
      return 1
    fi
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# Starts an Xvfb of our own on the first free display from :90 up, with its own auth cookie,
# and exports DISPLAY and XAUTHORITY for it. If another run grabs the same number first, the
# Xvfb exits at once and the next number is tried.
xvfb_start() {
  local n cookie
  XVFB_AUTH_DIR=$(mktemp -d "${TMPDIR:-/tmp}/addmorvane-xvfb.XXXXXX")
  export XAUTHORITY="$XVFB_AUTH_DIR/Xauthority"
  cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
  for ((n = 90; n < 190; n++)); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    : >"$XAUTHORITY"
    xauth -q -f "$XAUTHORITY" add ":$n" . "$cookie"
    Xvfb ":$n" -screen 0 "$XVFB_SCREEN" -dpi "$XVFB_DPI" -nolisten tcp -auth "$XAUTHORITY" \
      >"$XVFB_AUTH_DIR/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    if xvfb_wait_ready 15; then
      wine_session_log "xvfb: display $DISPLAY (pid $XVFB_PID)"
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  done
  # The log is kept where the clean-up at exit does not reach it.
  mkdir -p "$ADDMORVANE_ROOT/build"
  cp "$XVFB_AUTH_DIR/xvfb.log" "$ADDMORVANE_ROOT/build/xvfb.log" 2>/dev/null || true
  wine_session_log "xvfb: could not start a display (last log: build/xvfb.log)"
  unset DISPLAY
  return 1
}

xvfb_stop() {
  if [[ -n $XVFB_PID ]]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
  if [[ -n $XVFB_AUTH_DIR ]]; then
    rm -rf "$XVFB_AUTH_DIR"
    XVFB_AUTH_DIR=
  fi
}

# Creates the prefix once. A marker written when everything is done tells a complete prefix
# from one left half-made by an interrupted run (or made by an older version of this file),
# which is thrown away and made again. Needs a display (ours), since wineboot starts the
# desktop.
WINE_PREFIX_READY="$WINEPREFIX/.addmorvane-prefix-ready"
WINE_PREFIX_VERSION="wineboot+unmanaged+marlett"
wine_prefix_is_ready() {
  [[ -f $WINE_PREFIX_READY && $(<"$WINE_PREFIX_READY") == "$WINE_PREFIX_VERSION" ]]
}

wine_prefix_ensure() {
  wine_prefix_is_ready && return 0
  wine_session_log "wine: creating prefix $WINEPREFIX"
  wine_server_stop
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$WINE" wineboot -i >/dev/null 2>&1
  "$WINESERVER" -w
  [[ -f $WINEPREFIX/system.reg ]] || {
    wine_session_log "wine: wineboot did not create $WINEPREFIX"
    return 1
  }
  # With no window manager on a bare Xvfb nobody would draw window frames, since by default
  # Wine leaves them to one: windows would have no caption, no close box, no border, neither
  # on screenshots nor for the tests that click them; and Wine would wait two seconds for the
  # missing manager whenever a window closes. So Wine manages and draws its windows itself.
  # Nothing else is changed: the 96 dpi of a fresh prefix stays.
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  # Debian's Wine looks for its own fonts where fonts-wine does not put them; the frames it
  # draws need Marlett for the close box. The program's own fonts are left as they are.
  if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  fi
  "$WINESERVER" -w
  printf '%s' "$WINE_PREFIX_VERSION" >"$WINE_PREFIX_READY"
}

# The same, under a short-lived Xvfb of our own: for callers that show the program on the
# developer's display, which prefix creation must not use.
wine_prefix_ensure_private() {
  wine_prefix_is_ready && return 0
  (
    trap wine_session_end EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    xvfb_start
    wine_prefix_ensure
  )
}

# Ends every Wine process of the project's prefix, and the wineserver with them.
wine_server_stop() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w >/dev/null 2>&1 || true
}

# One wineserver for the whole session, so that each program started does not pay for a new
# server and all of them share one desktop on our display. Any server left over for the prefix
# (from another session, maybe on another display) is ended first.
wine_server_start() {
  wine_server_stop
  "$WINESERVER" -p
}

wine_session_end() {
  local rc=$?
  trap - EXIT INT TERM
  if [[ -n $XVFB_PID ]]; then
    wine_server_stop
  fi
  xvfb_stop
  return "$rc"
}

# Own Xvfb, prefix, persistent wineserver; everything is undone when the shell exits.
wine_session_begin() {
  trap wine_session_end EXIT
  # Turn signals into a normal exit, so that the EXIT trap cleans up.
  trap 'exit 130' INT
  trap 'exit 143' TERM
  xvfb_start
  wine_prefix_ensure
  wine_server_start
}

# Prints the X window id of the top-level window titled exactly $1, once it is mapped.
# Fails after $2 seconds (default 30), or as soon as process $3 (if given) has ended.
wine_wait_window() {
  local name=$1 deadline=$((SECONDS + ${2:-30})) pid=${3:-} info id
  while ((SECONDS < deadline)); do
    if [[ -n $pid ]] && ! kill -0 "$pid" 2>/dev/null; then
      wine_session_log "wine: the program ended before its window \"$name\" appeared"
      return 1
    fi
    if info=$(xwininfo -name "$name" 2>/dev/null) &&
      [[ $info == *"Map State: IsViewable"* ]]; then
      id=$(sed -n 's/^xwininfo: Window id: \(0x[0-9a-fA-F]*\).*/\1/p' <<<"$info")
      if [[ -n $id ]]; then
        printf '%s\n' "$id"
        return 0
      fi
    fi
    sleep 0.1
  done
  wine_session_log "wine: no window named \"$name\" appeared within ${2:-30} s"
  return 1
}

# Writes a PNG of the top-level window titled $1 (frame included) to $2, once it is painted;
# $3 is the program's pid (see wine_wait_window).
wine_screenshot_window() {
  local name=$1 out=$2 pid=${3:-} id tmp shot prev='' cur deadline
  id=$(wine_wait_window "$name" 30 "$pid") || return 1
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/addmorvane-shot.XXXXXX")
  # Mapped is not yet painted, and X tells nobody outside when painting is done: grab until
  # two pictures in a row agree.
  deadline=$((SECONDS + 10))
  for ((shot = 0; ; shot++)); do
    import -window "$id" "ppm:$tmp/$shot.ppm"
    cur=$(md5sum <"$tmp/$shot.ppm")
    [[ $cur == "$prev" ]] && break
    if ((SECONDS >= deadline)); then
      wine_session_log "wine: window \"$name\" kept changing; keeping the last picture"
      break
    fi
    prev=$cur
    sleep 0.2
  done
  mkdir -p "$(dirname "$out")"
  # No time stamps in the file, so the same picture gives the same bytes.
  convert "$tmp/$shot.ppm" -define png:exclude-chunks=date,time "$out"
  rm -rf "$tmp"
}
