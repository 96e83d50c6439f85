#!/usr/bin/env bash
# Fails when a C++ file of the project is not formatted with .clang-format.
set -uo pipefail
cd "$(dirname "$0")/.."
status=0
while IFS= read -r file; do
    if ! clang-format --dry-run -Werror "$file" >/dev/null 2>&1; then
        echo "not formatted: $file"
        status=1
    fi
done < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src standins simulator frameapp tests bench -name '*.cpp' -o -name '*.h')
exit $status
