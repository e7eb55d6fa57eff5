#!/usr/bin/env bash
# Fails when clang-format 14 with the tree's .clang-format would change a C++ file of src/, tests/,
# bench/ or fuzz/, and names each such file. Fix them with: clang-format-14 -i <file>...
# Exits 77 (a skip for ctest) when clang-format 14 is not installed; scripts/test.sh installs it.
#
# Usage: scripts/check-format.sh [project root]
set -euo pipefail
ROOT=$(cd "${1:-$(dirname "$0")/..}" && pwd)

tool=""
for candidate in clang-format-14 clang-format; do
  if command -v "$candidate" >/dev/null &&
      "$candidate" --version | grep -q 'version 14\.'; then
    tool=$candidate
    break
  fi
done
if [ -z "$tool" ]; then
  echo "clang-format 14 is not installed: the format is not checked" >&2
  exit 77
fi

cd "$ROOT"
mapfile -d '' files < <(find src tests bench fuzz -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
changed=()
for file in "${files[@]}"; do
  if ! "$tool" --style=file "$file" | cmp -s - "$file"; then
    changed+=("$file")
  fi
done
if [ ${#changed[@]} -gt 0 ]; then
  printf '%s\n' "${changed[@]/#/clang-format would change }"
  echo "${#changed[@]} file(s) are not in the tree's format; run: $tool -i ${changed[*]}"
  exit 1
fi
echo "all ${#files[@]} C++ files are in the tree's format"
