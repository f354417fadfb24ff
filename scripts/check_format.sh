#!/usr/bin/env bash
# Refuses any C++ file that differs from .clang-format, naming each one. clang-format 14 is
# Debian 12's; another version may format a few constructs differently.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
report=$(mktemp)
trap 'rm -f "$report"' EXIT
if ! clang-format --dry-run --Werror "${files[@]}" 2>"$report"; then
    grep -o '^[^:]*\.\(cpp\|h\):' "$report" | sort -u | sed 's/^/not formatted: /; s/:$//'
    echo "Format them with: clang-format -i FILE..." >&2
    exit 1
fi
echo "== every C++ file is formatted (${#files[@]} files)"
