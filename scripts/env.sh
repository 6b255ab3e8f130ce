# Shared locations for the build and test scripts (sourced, not run).
KESTRUM_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export KESTRUM_ROOT
# Static libpng for the cross build lives outside the repository.
export KESTRUM_MINGW_PREFIX="${KESTRUM_MINGW_PREFIX:-/opt/kestrum-mingw}"
export WINEPREFIX="${WINEPREFIX:-${HOME:-/root}/.kestrum-wine}"
export WINEDEBUG="${WINEDEBUG:--all,err+module}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEARCH=win64
