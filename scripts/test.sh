#!/usr/bin/env bash
# Installs what is missing, configures, builds and runs every test.
#   scripts/test.sh                      normal build in build/
#   VELMORA_SANITIZE=1 scripts/test.sh   AddressSanitizer + UBSan build in build-asan/
# Extra arguments go to ctest (for example -R Variant).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

bash scripts/setup.sh

build=build
flags=()
if [ "${VELMORA_SANITIZE:-0}" = 1 ]; then
  build=build-asan
  flags+=(-DVELMORA_SANITIZE=ON -DVELMORA_BENCH=OFF)
  export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
fi
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

cmake -S . -B "$build" "${generator[@]}" "${flags[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"

# Services some tests need (PostgreSQL) are started here on loopback and
# stopped on exit; see scripts/services.sh.
if [ -f scripts/services.sh ]; then
  # shellcheck source=/dev/null
  source scripts/services.sh
  services_start
  trap services_stop EXIT
fi

ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 600 "$@"
