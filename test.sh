#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless; then the
# lobby server's tests once more under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh"
cd "$root/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)"

# Only the server, its program and its tests: a few minutes, not the game.
asan="$root/build-asan"
mapfile -t server_tests < <(sed -n 's/^vf_add_test(\([a-z0-9_]*\).*/\1/p' "$root/tests/server/CMakeLists.txt")
cmake -S "$root" -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVF_SANITIZE=ON >/dev/null
cmake --build "$asan" -j"$(nproc)" --target vesperfall-lobby "${server_tests[@]}"
cd "$asan"
# The system libraries' own leaks are known noise (as for the fuzzers); ours fail the run.
QT_QPA_PLATFORM=offscreen UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0" \
    ctest --output-on-failure -j"$(nproc)" -R "^($(IFS='|'; echo "${server_tests[*]}"))\$"
