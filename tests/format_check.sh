#!/usr/bin/env bash
# Every C++ file of the project is in the project's format (.clang-format).
#   format_check.sh CLANG_FORMAT SOURCE_DIR
set -euo pipefail
clang_format=$1
cd "$2"
mapfile -t files < <(find app assets bench canvas core hero replay server shell tests world \
    -name '*.cpp' -o -name '*.h' | sort)
"$clang_format" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files in the project's format"
