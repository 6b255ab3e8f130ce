# Shared locations for the build and test scripts (sourced, not run).
KESTRUM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export KESTRUM_ROOT
# Static libpng for the cross build lives outside the repository.
export KESTRUM_MINGW_PREFIX="${KESTRUM_MINGW_PREFIX:-/opt/kestrum-mingw}"
export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.kestrum-wine}"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
# The virtual X server of every script that opens windows. -noreset: an X server resets itself
# when its last client disconnects and refuses the connections that arrive meanwhile; programs
# run one after the other (each test is a process of its own) would then find no display now
# and then. The screen holds a host window with the editor at 200 %.
export KESTRUM_XVFB_SERVER="${KESTRUM_XVFB_SERVER:--screen 0 2048x1536x24 -noreset}"
