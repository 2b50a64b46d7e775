# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${QUORVANT_BUILD_DIR:-$ROOT/build}
# The second compiler's build, which scripts/test compiles and links as well.
CLANG_BUILD_DIR=${QUORVANT_CLANG_BUILD_DIR:-$ROOT/build-clang}

# Paths relative to the checkout in ccache's keys, so that a fresh clone (as
# CI makes) reuses what an earlier clone compiled on the same machine.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$ROOT}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-1}

BUILD_PACKAGES=(
  cmake g++ ccache pkg-config
  qt6-base-dev qt6-svg-dev qt6-image-formats-plugins libgl-dev
  libminizip-dev zlib1g-dev libpugixml-dev libiec16022-dev libdmtx-dev libjpeg62-turbo-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation python-is-python3
)
# Real outside tools that the tests use as oracles.
TEST_PACKAGES=(
  valgrind libzxing-dev libzbar-dev python3-openpyxl python3-aiosmtpd openssl poppler-utils
  xvfb xauth imagemagick
  cups-daemon cups-client cups-filters
)
# What the benchmarks measure against (never linked into the program).
BENCH_PACKAGES=(
  libzint-dev
)
# The second compiler: the code must build warning-free with both.
CLANG_PACKAGES=(
  clang
)

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get -o DPkg::Lock::Timeout=600 install -y -q "${missing[@]}"
}

# configure_and_build [CMAKE_ARGS...]: configures $BUILD_DIR the first time
# (later runs keep its cache), then builds every target.
configure_and_build() {
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  local gen=()
  command -v ninja >/dev/null && gen=(-G Ninja)
  if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD_DIR" "${gen[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
  else
    cmake -S "$ROOT" -B "$BUILD_DIR" "$@" >/dev/null
  fi
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# Compiles and links every target with Clang into $CLANG_BUILD_DIR. Only the
# compiler's verdict matters there, so it builds without optimisation or debug
# information (Clang's warnings do not depend on either): a quarter less work.
build_with_clang() {
  BUILD_DIR=$CLANG_BUILD_DIR configure_and_build \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Check "-DCMAKE_CXX_FLAGS_CHECK=-O0 -DNDEBUG"
}
