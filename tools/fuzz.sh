#!/usr/bin/env bash
# Runs the random command-tail cases with a new seed (or the one given), after a build.
# The test command always uses the fixed seed; a failure here names the seed that repeats it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/setup.sh"
source "$here/wine-env.sh"
build_brisknote
choose_arches
use_arch "${ARCHES%% *}"
prepare_wine_prefix
export BRISKNOTE_SEED=${1:-$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')}
"$WINE" "$ARCH_BUILD/unit_tests.exe" --gtest_filter='Rules.RandomTails*'
