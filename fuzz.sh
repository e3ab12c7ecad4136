#!/usr/bin/env bash
# Runs the libFuzzer targets for a while:  ./fuzz.sh [target|all] [seconds per target]
# New inputs go to build-fuzz/corpus/<target>/; copy the ones worth keeping
# (a crash once fixed, a new shape of input) into fuzz/corpus/<target>/,
# which ./test.sh replays on every run.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
target="${1:-all}"
seconds="${2:-60}"

"$root/scripts/setup.sh" --deps-only
need=(clang libclang-rt-14-dev)
missing=()
for p in "${need[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

build="$root/build-fuzz"
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVF_FUZZ=ON >/dev/null
if [ "$target" = all ]; then
    mapfile -t targets < <(sed -n 's/^vf_add_fuzzer(\([a-z0-9_]*\).*/\1/p' "$root/fuzz/CMakeLists.txt")
else
    targets=("$target")
fi
cmake --build "$build" -j"${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}" --target "${targets[@]/#/fuzz_}"

for t in "${targets[@]}"; do
    mkdir -p "$build/corpus/$t" "$root/fuzz/corpus/$t"
    echo "== $t for ${seconds}s"
    # Undefined behaviour stops the run like a crash does; the system libraries' own leaks do not.
    (cd "$build" && QT_QPA_PLATFORM=offscreen VF_PROGRAM_DIR="$build/bin" UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
        LSAN_OPTIONS="suppressions=$root/fuzz/lsan.supp:print_suppressions=0" \
        "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -max_len=65536 \
        "$build/corpus/$t" "$root/fuzz/corpus/$t")
done
