#!/usr/bin/env bash
# Fails, naming each place, when a C++ file differs from what clang-format makes of it with the
# house style in .clang-format. To reformat instead:
#   git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
