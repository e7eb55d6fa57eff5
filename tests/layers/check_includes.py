#!/usr/bin/env python3
"""Checks every #include in src/ against the layer table of ARCHITECTURE.md.

The table lists, for each folder of src/, the folders its files may include. A file may always
include headers of its own folder. The table itself must have no cycle, so that no two folders
ever include each other.

The display table of ARCHITECTURE.md lists the files that may show something: only they include
GTK, gtkmm, GDK or WebKit headers, and only the adapter includes WebKit. A `pictures` file may
include GDK's picture headers alone. A file may include a header of src/ only when that header
shows no more than the file itself may, so nothing reaches a display-free file through another
header. Exits 1 and names each offending line when something breaks a rule.

The feature index of ARCHITECTURE.md must name every source file of src/, so that a newcomer
finds each file under what it serves.

Usage: check_includes.py <project root>
"""
import pathlib
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SYSTEM_INCLUDE = re.compile(r"^\s*#\s*include\s+<([^>]+)>")
GTK = re.compile(r"^(gtk|gtkmm|gdk|gdkmm)(/|\.h$)")
WEBKIT = re.compile(r"^(webkit2|webkit|webkitdom|JavaScriptCore|jsc)(/|\.h$)")
PICTURE_HEADERS = {"gdkmm/pixbuf.h", "gdkmm/general.h", "gdkmm/wrap_init.h"}

# What each kind of the display table may show; a file not in the table shows nothing (0).
KINDS = {"pictures": 1, "widget": 2, "window": 2, "adapter": 2}


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


def read_display_table(architecture: pathlib.Path) -> dict[str, str] | None:
    """The rows between the display-table markers: | `folder/file` | kind | ...

    A name without an extension stands for its .h and .cpp."""
    text = architecture.read_text(encoding="utf-8")
    if "<!-- display -->" not in text:
        return None
    body = text.split("<!-- display -->")[1].split("<!-- /display -->")[0]
    table: dict[str, str] = {}
    for line in body.splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) < 2 or not cells[0].startswith("`"):
            continue
        table[cells[0].strip("`")] = cells[1].strip("`").split()[0] if cells[1] else ""
    return table


def kind_of(relative: pathlib.PurePath, display: dict[str, str]) -> str | None:
    """The display kind of a file of src/ (path relative to src/), None when it shows nothing."""
    name = relative.as_posix()
    return display.get(name) or display.get(name.rsplit(".", 1)[0])


def check_display(root: pathlib.Path, display: dict[str, str]) -> list[str]:
    """The display table's own faults, and every include that shows more than its file may."""
    src = root / "src"
    problems: list[str] = []
    for name, kind in sorted(display.items()):
        if kind not in KINDS:
            problems.append(f"the display table gives src/{name} the unknown kind \"{kind}\"")
        if not any((src / (name + ext)).is_file() for ext in ("", ".h", ".cpp")):
            problems.append(f"the display table lists src/{name}, which does not exist")
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".cc", ".hpp") or not path.is_file():
            continue
        relative = path.relative_to(src)
        kind = kind_of(relative, display)
        level = KINDS.get(kind, 0)
        where = path.relative_to(root)
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            system = SYSTEM_INCLUDE.match(line)
            if system:
                header = system.group(1)
                if WEBKIT.match(header) and kind != "adapter":
                    problems.append(f"{where}:{number}: only the engine adapter includes <{header}>")
                elif GTK.match(header) and level < 2 and not (
                        level == 1 and header in PICTURE_HEADERS):
                    shown = f"a {kind} file" if kind else "a display-free file"
                    problems.append(f"{where}:{number}: {shown} may not include <{header}>")
                continue
            quoted = INCLUDE.match(line)
            if not quoted:
                continue
            target = quoted.group(1)
            other = pathlib.PurePath(target) if "/" in target else relative.parent / target
            other_kind = kind_of(other, display)
            if KINDS.get(other_kind, 0) > level:
                shown = f"a {kind} file" if kind else "a display-free file"
                problems.append(f"{where}:{number}: {shown} may not include \"{target}\", "
                                f"a {other_kind} header")
    return problems


def check_index(root: pathlib.Path) -> list[str]:
    """Every source file of src/ named in the feature index, and every name there a file."""
    text = (root / "ARCHITECTURE.md").read_text(encoding="utf-8")
    if "<!-- index -->" not in text:
        return ["ARCHITECTURE.md has no feature index (<!-- index -->)"]
    body = text.split("<!-- index -->")[1].split("<!-- /index -->")[0]
    named = set(re.findall(r"`([a-z_]+/[a-z_0-9]+(?:\.(?:h|cpp))?)`", body))
    src = root / "src"
    problems = [f"the feature index names src/{name}, which does not exist" for name in sorted(named)
                if not any((src / (name + ext)).is_file() for ext in ("", ".h", ".cpp"))]
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp", ".cc", ".hpp") or not path.is_file():
            continue
        name = path.relative_to(src).as_posix()
        if name not in named and name.rsplit(".", 1)[0] not in named:
            problems.append(f"src/{name} is named nowhere in the feature index of ARCHITECTURE.md")
    return problems


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
    display = read_display_table(root / "ARCHITECTURE.md")
    if display is None:
        problems.append("ARCHITECTURE.md has no display table (<!-- display -->)")
    else:
        problems += check_display(root, display)
    problems += check_index(root)
    return problems


def main() -> int:
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".").resolve()
    problems = check(root)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} fault(s) against the layer and display tables and the feature index of ARCHITECTURE.md")
        return 1
    print("every include keeps to the layer and display tables, and the index names every file")
    return 0


if __name__ == "__main__":
    sys.exit(main())
