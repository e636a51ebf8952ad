#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for SECONDS each, on a scratch copy of its seed
# corpus so the committed seeds stay as they are. Exits non-zero when a target crashes,
# leaks, times out or fails to start; the reproducer is kept in the printed folder.
#
#   fuzz/run_fuzzers.sh BUILD_DIR SECONDS [TARGET...]
set -u

if [ $# -lt 2 ]; then
    echo "usage: $0 BUILD_DIR SECONDS [TARGET...]" >&2
    exit 2
fi
build=$1
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(container_fuzz table_blob_fuzz source_fuzz project_fuzz language_fuzz
    expression_fuzz number_text_fuzz settings_fuzz)

work=$(mktemp -d "${TMPDIR:-/tmp}/vacuum_fuzz.XXXXXX")
failed=()
for t in "${targets[@]}"; do
    exe=$build/bin/$t
    if [ ! -x "$exe" ]; then
        echo "== $t: $exe not built" >&2
        failed+=("$t")
        continue
    fi
    corpus=$work/$t/corpus
    artifacts=$work/$t/artifacts
    mkdir -p "$corpus" "$artifacts"
    [ -d "$here/corpus/$t" ] && cp "$here/corpus/$t"/* "$corpus"/
    dict=$here/container.dict
    [ "$t" = source_fuzz ] && dict=$here/source.dict
    [ "$t" = project_fuzz ] && dict=$here/project.dict
    [ "$t" = expression_fuzz ] && dict=$here/expression.dict
    [ "$t" = number_text_fuzz ] && dict=$here/number_text.dict
    [ "$t" = settings_fuzz ] && dict=$here/settings.dict
    echo "== $t: ${seconds}s"
    # -timeout: a single input slower than this is a hang worth reporting. TMPDIR keeps the
    # scratch files of a target (source_fuzz writes one) in the folder this script removes.
    mkdir -p "$work/$t/tmp"
    TMPDIR="$work/$t/tmp" "$exe" "$corpus" -max_total_time="$seconds" -timeout=25 -rss_limit_mb=2048 \
        -dict="$dict" -artifact_prefix="$artifacts/" -print_final_stats=1 \
        >"$work/$t/log" 2>&1
    rc=$?
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb)|ERROR|invariant broken' \
        "$work/$t/log" | head -20
    if [ $rc -ne 0 ] || ls "$artifacts" | grep -q .; then
        echo "== $t FAILED (exit $rc); log and reproducer in $work/$t" >&2
        failed+=("$t")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "failed: ${failed[*]}" >&2
    exit 1
fi
rm -rf "$work"
echo "all targets ran without a finding"
