# Shared by the project's scripts: installing what is missing, and building.
# Sourced, not run.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages every build needs.
build_packages=(build-essential cmake libjpeg62-turbo-dev libpng-dev zlib1g-dev)
# What the tests and benchmarks need beside them.
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev libgif-dev)

# Installs the named Debian packages that are not installed yet; nothing when
# all are there.
ensure_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]}" >&2
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq &&
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq "${missing[@]}"
}

# Configures (once) and builds the tree in build dir $1 with the cmake options
# that follow; after "--target", the targets to build instead of all.
build_tree() {
  local dir=$1
  shift
  local options=() targets=()
  while [ $# -gt 0 ] && [ "$1" != --target ]; do options+=("$1"); shift; done
  [ $# -gt 0 ] && shift && targets=(--target "$@")
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S "$top" -B "$dir" "${options[@]}" >/dev/null || return 1
  fi
  cmake --build "$dir" --parallel "$(nproc)" "${targets[@]}"
}
