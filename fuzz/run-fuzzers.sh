#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for a bounded time.
#
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
#
# Each target starts from its seeds in fuzz/corpus/<target> and keeps what it
# finds in BUILD_DIR/corpus/<target> (the seeds in the repository stay as they
# are). A crash, a hang (10 s on one input), a leak or undefined behaviour
# stops the run with the failing input in BUILD_DIR/artifacts/; the script
# then prints the end of the log and exits non-zero.
set -uo pipefail

build_dir=${1:?build directory}
seconds=${2:?seconds per target}
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_server_list fuzz_registry_file)

mkdir -p "$build_dir/artifacts"
failed=()
for target in "${targets[@]}"; do
    corpus="$build_dir/corpus/$target"
    log="$build_dir/$target.log"
    mkdir -p "$corpus"
    echo "== $target: ${seconds} s"
    # The outer timeout only guards against a fuzzer that ignores its own limit.
    if timeout --kill-after=10 $((seconds + 120)) \
        "$build_dir/fuzz/$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 -rss_limit_mb=2048 \
            -print_final_stats=1 -dict="$here/$target.dict" -artifact_prefix="$build_dir/artifacts/$target-" \
            "$corpus" "$here/corpus/$target" >"$log" 2>&1; then
        grep -E '^(Done |stat::(average_exec_per_sec|peak_rss_mb))' "$log"
        echo "corpus: $(find "$corpus" -type f | wc -l) inputs"
    else
        tail -n 60 "$log"
        echo "$target FAILED (full log: $log)"
        failed+=("$target")
    fi
done

if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing failed: ${failed[*]}"
    exit 1
fi
