#!/usr/bin/env bash
# Runs each fuzz target for a bounded time: run-fuzzers.sh <fuzz build dir> [seconds per target].
# The repository's seeds are read only; new inputs and any crash land under the build dir.
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)

export LC_ALL=C.UTF-8
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$here/../support/lsan.supp

# The settings target saves files many times a second; on a memory file system the syncs cost nothing.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMPDIR=$(mktemp -d /dev/shm/ambrel-fuzz.XXXXXX)
    export TMPDIR
    trap 'rm -rf "$TMPDIR"' EXIT
fi

declare -A max_len=([taskline]=512 [settings]=4096 [schedule]=2048 [editing]=2048 [projectfile]=4096 [icsdaysoff]=200000)
# Calendars long enough to reach a parse that slows with the square of its input, which must stay quick.
declare -A timeout=([icsdaysoff]=2)
mkdir -p "$build/artifacts"
for target in ${FUZZ_TARGETS:-taskline settings schedule editing projectfile icsdaysoff}; do
    scratch=$build/corpus/$target
    mkdir -p "$scratch"
    echo "== fuzz_$target for ${seconds}s"
    "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout="${timeout[$target]:-10}" -max_len="${max_len[$target]}" \
        -dict="$here/$target.dict" -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 \
        "$scratch" "$here/corpus/$target"
done
