#!/usr/bin/env bash
# The one Wine environment of every script here: the project's own prefix, quiet Wine (unless
# the developer set WINEDEBUG), no add-on install dialogs, the 64-bit loader and the server that
# belongs to it. Sourced by scripts/wine-session.sh and the runners in tests/; sets WINE and
# WINESERVER for them. A caller that runs in another prefix of the project's (a high-dpi or
# disk-full one) sets WINEPREFIX itself; nothing here ever points at ~/.wine.

ADDMORVANE_ROOT=${ADDMORVANE_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${WINEPREFIX:-$ADDMORVANE_ROOT/build/wine-prefix}
# Quiet unless the developer asked for Wine's own messages (WINEDEBUG=warn+all, +relay, ...).
export WINEDEBUG=${WINEDEBUG--all}
# No Mono/Gecko install dialogs: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="

# The loader. Debian's `wine` wrapper takes the 32-bit loader whenever wine32 is installed,
# even where 32-bit programs cannot run at all (a kernel without 32-bit support); our programs
# and the prefix are 64-bit, so the 64-bit loader is asked for directly, the way the wrapper
# itself does it when wine32 is absent.
if [[ -x /usr/lib/wine/wine64 ]]; then
  WINE=/usr/lib/wine/wine64
  export WINELOADER=$WINE
else
  WINE=wine
fi
# The server of that loader's installation.
if [[ -x /usr/lib/wine/wineserver64 ]]; then
  WINESERVER=/usr/lib/wine/wineserver64
else
  WINESERVER=wineserver
fi
