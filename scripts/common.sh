# Shared by scripts/run and scripts/test: install what is missing, then build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${QUORVANT_BUILD_DIR:-$ROOT/build}
# The second compiler's build, which scripts/test compiles and links as well.
CLANG_BUILD_DIR=${QUORVANT_CLANG_BUILD_DIR:-$ROOT/build-clang}
# The build with AddressSanitizer and UndefinedBehaviorSanitizer, in which
# scripts/test runs the suites of the readers and encoders.
ASAN_BUILD_DIR=${QUORVANT_ASAN_BUILD_DIR:-$ROOT/build-asan}

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
# (later runs keep its cache), then builds $BUILD_TARGET, or every target
# when it is unset.
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
  local targets=()
  [ -n "${BUILD_TARGET:-}" ] && targets=(--target "$BUILD_TARGET")
  cmake --build "$BUILD_DIR" -j "$(nproc)" "${targets[@]}"
}

# Compiles and links every target with Clang into $CLANG_BUILD_DIR. Only the
# compiler's verdict matters there, so it builds without optimisation or debug
# information (Clang's warnings do not depend on either): a quarter less work.
build_with_clang() {
  BUILD_DIR=$CLANG_BUILD_DIR configure_and_build \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Check "-DCMAKE_CXX_FLAGS_CHECK=-O0 -DNDEBUG"
}

# Builds the suites labelled "memory" (the readers and encoders) with
# AddressSanitizer and UndefinedBehaviorSanitizer into $ASAN_BUILD_DIR, and
# nothing else. -O1 keeps the instrumented suites quick while the reports'
# stacks stay whole.
build_with_sanitizers() {
  BUILD_DIR=$ASAN_BUILD_DIR BUILD_TARGET=quorvant_memory_suites configure_and_build \
    -DQUORVANT_SANITIZE=ON -DQUORVANT_BENCH=OFF "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g"
}

# run_memory_suites [CTEST_ARGS...]: runs the suites labelled "memory" of
# $ASAN_BUILD_DIR. Any report (a fault, a leak, undefined behaviour) aborts
# the test program and so fails the run; the leaks that system libraries
# leave at exit on purpose are named in tests/support/lsan-suppressions.txt.
run_memory_suites() {
  (
    cd "$ASAN_BUILD_DIR"
    # The system's libjpeg and libiec16022 keep no frame pointers: the full
    # unwinder follows an allocation through them back to our call.
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:fast_unwind_on_malloc=0
    export LSAN_OPTIONS=suppressions=$ROOT/tests/support/lsan-suppressions.txt:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ctest -L memory --no-tests=error "$@"
  )
}
