# Shared by the tools: install what is missing, configure and build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Every Wine start, the build's included, gets the same variables.
eval "$(python3 "$ROOT/tools/winehelper.py" env)"

# Installs the Debian packages given that are not installed yet (as root).
need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [[ ${#missing[@]} -eq 0 ]] && return 0
  if [[ $(id -u) -ne 0 ]]; then
    echo "Missing Debian packages: ${missing[*]} (run as root to install them)" >&2
    return 1
  fi
  echo "Installing: ${missing[*]}"
  if [[ -z ${PAGETRIX_APT_UPDATED:-} ]]; then
    apt-get update -qq
    export PAGETRIX_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# clang-format checks the sources' format (tools/check_format.py).
BUILD_PACKAGES=(cmake ninja-build g++ googletest python3 clang-format)
WIN_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64)
# The handbook is rendered from Markdown with pandoc.
DOC_PACKAGES=(pandoc)
# The Windows Installer package is built with wixl and read back with msiinfo.
MSI_PACKAGES=(wixl msitools)

# Configures a preset once, then builds it.
build_preset() {
  local preset=$1
  shift
  if [[ ! -f $ROOT/build/$preset/build.ninja ]]; then
    cmake --preset "$preset" -S "$ROOT" >/dev/null
  fi
  cmake --build "$ROOT/build/$preset" -j"$(nproc)" "$@"
}

# The Wine prefix of the build's own tests and a persistent wineserver for it
# (tools/winehelper.py knows how); later Wine commands use the same prefix.
start_wine() {
  eval "$(python3 "$ROOT/tools/winehelper.py" env --prefix "$ROOT/build/win/wineprefix")"
  python3 "$ROOT/tools/winehelper.py" start --prefix "$WINEPREFIX" || true
}

stop_wine() {
  [[ -n ${WINEPREFIX:-} ]] || return 0
  python3 "$ROOT/tools/winehelper.py" stop --prefix "$WINEPREFIX" || true
}
