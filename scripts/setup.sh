# Shared set-up for scripts/run, scripts/test and scripts/bench: installs the
# missing Debian packages (one apt-get update, only when something is missing)
# and configures and builds a tree. Sourced, not run.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

tavrin_install_packages() {
  local missing=()
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done < "$ROOT/scripts/packages.txt"
  if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    local sudo=()
    [[ $(id -u) -ne 0 ]] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}

# tavrin_build DIR [cmake options...]
tavrin_build() {
  local dir="$1"; shift
  export CCACHE_DIR="${CCACHE_DIR:-$HOME/.cache/ccache}"
  # Paths relative to the checkout, so that clones and worktrees in other
  # folders share one cache.
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$ROOT}" CCACHE_NOHASHDIR=1
  cmake -S "$ROOT" -B "$dir" -G Ninja "$@" >/dev/null
  ninja -C "$dir"
}
