#!/usr/bin/env python3
"""Checks every #include in src/ against the layer table of ARCHITECTURE.md.

The table lists, for each folder of src/, the folders its files may include. A file may always
include headers of its own folder. The table itself must have no cycle, so that no two folders
ever include each other. Exits 1 and names each offending line when something breaks the rule.

Usage: check_includes.py <project root>
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_table(architecture: pathlib.Path) -> dict[str, set[str]]:
    """The rows between the two layer-table markers: | `folder` | `a`, `b` | ..."""
    text = architecture.read_text(encoding="utf-8")
    body = text.split("<!-- layers -->")[1].split("<!-- /layers -->")[0]
    table: dict[str, set[str]] = {}
    for line in body.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 2 or not cells[0].startswith("`"):
            continue
        folder = cells[0].strip("`")
        table[folder] = set(re.findall(r"`([a-z_]+)`", cells[1]))
    return table


def find_cycle(table: dict[str, set[str]]) -> list[str] | None:
    state: dict[str, int] = {}
    path: list[str] = []

    def visit(node: str) -> list[str] | None:
        state[node] = 1
        path.append(node)
        for nxt in sorted(table.get(node, ())):
            if state.get(nxt) == 1:
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                found = visit(nxt)
                if found:
                    return found
        path.pop()
        state[node] = 2
        return None

    for node in sorted(table):
        if node not in state:
            found = visit(node)
            if found:
                return found
    return None


def check(root: pathlib.Path) -> list[str]:
    table = read_table(root / "ARCHITECTURE.md")
    problems: list[str] = []
    cycle = find_cycle(table)
    if cycle:
        problems.append("the layer table has a cycle: " + " -> ".join(cycle))
    src = root / "src"
    folders = sorted(p.name for p in src.iterdir() if p.is_dir())
    for folder in folders:
        if folder not in table:
            problems.append(f"src/{folder} has no row in the layer table")
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".cc", ".hpp") or not path.is_file():
            continue
        folder = path.relative_to(src).parts[0]
        allowed = table.get(folder, set()) | {folder}
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            match = INCLUDE.match(line)
            if not match:
                continue
            target = match.group(1)
            if "/" not in target:
                # A header of the same folder, or one the build writes (tarvik_version.h).
                if (path.parent / target).exists() or target.startswith("tarvik_"):
                    continue
                problems.append(f"{path.relative_to(root)}:{number}: \"{target}\" names no folder")
                continue
            other = target.split("/")[0]
            if other not in allowed:
                problems.append(
                    f"{path.relative_to(root)}:{number}: src/{folder} may not include \"{target}\"")
    return problems


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = check(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) break the layer table in ARCHITECTURE.md")
        return 1
    print("every include keeps to the layer table")
    return 0


if __name__ == "__main__":
    sys.exit(main())
