#!/usr/bin/env bash
# The long fuzz run: every target for an hour or ten million executions, whichever
# comes first, two at a time at low priority, in an optimised sanitizer build of
# its own (build-fuzz) unless FUZZ_BUILD names another.
#   scripts/fuzz-long.sh [seconds-per-target] [executions-per-target]
set -uo pipefail
cd "$(dirname "$0")/.."
export FUZZ_RUNS=${2:-10000000}
export FUZZ_PARALLEL=${FUZZ_PARALLEL:-2}
export FUZZ_BUILD=${FUZZ_BUILD:-build-fuzz}
export FUZZ_BUILD_TYPE=${FUZZ_BUILD_TYPE:-RelWithDebInfo}
exec scripts/fuzz.sh "${1:-3600}"
