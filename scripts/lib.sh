# Shared by the project's scripts: installing what is missing, and building.
# Sourced, not run.

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# Packages every build needs, and what the window needs to run: Qt with its
# own translations, libxcb for the display check, a Song face and a small CJK
# face for the Chinese texts, and Xvfb for running it without a desktop.
build_packages=(build-essential cmake libjpeg62-turbo-dev libpng-dev zlib1g-dev
  qt6-base-dev qt6-translations-l10n libxcb1-dev fonts-arphic-uming fonts-wqy-microhei xvfb xauth)
# What the tests and benchmarks need beside them; xdotool drives the window
# in the smoke test.
test_packages=(libgtest-dev libgmock-dev libbenchmark-dev libgif-dev xdotool)
# The fuzzers: clang with its libFuzzer and sanitizer runtimes (fuzz/run.sh),
# and ImageMagick for the seed corpora (fuzz/make_corpus.sh).
fuzz_packages=(clang libclang-rt-14-dev imagemagick)

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
