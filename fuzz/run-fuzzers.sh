#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs every libFuzzer target of a fuzz build for a bounded time, from its
# seeds in fuzz/corpus/<target>, keeping what it finds in BUILD_DIR/corpus.
# A crash, a hang (10 s on one input), a leak or undefined behaviour stops
# the run with the input in BUILD_DIR/artifacts/ and a non-zero exit.
#   fuzz/run-fuzzers.sh BUILD_DIR SECONDS
set -uo pipefail
build=${1:?build directory}
seconds=${2:?seconds per target}
here=$(cd "$(dirname "$0")" && pwd)
status=0
for target in fuzz_server_list fuzz_registry_files; do
    mkdir -p "$build/corpus/$target" "$build/artifacts"
    echo "== $target: $seconds s"
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -max_len=4096 -rss_limit_mb=2048 \
        -artifact_prefix="$build/artifacts/$target-" "$build/corpus/$target" "$here/corpus/$target" \
        >"$build/$target.log" 2>&1 || status=1
    tail -n 40 "$build/$target.log"
done
exit $status
