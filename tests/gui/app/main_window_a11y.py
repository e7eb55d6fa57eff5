#!/usr/bin/python3
"""The main window as a screen reader sees it through AT-SPI.

Starts the real tarvik with a private home and application folder, finds its window on the
accessibility bus, and checks what each control offers a screen reader.

  main_window_a11y.py TARVIK present   controls GTK names by itself: every push button has a
                                        name or a description (its tooltip), a picture inside a
                                        button is covered by that button, and the cool bar's
                                        captioned bands carry their captions
  main_window_a11y.py TARVIK names     the names the main window gives its picture-only
                                        controls: every visible picture has a name or a
                                        description, and the pockets, the mode picture, the step
                                        buttons, Go and the favorites buttons have their names
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

PUSH_BUTTON = pyatspi.ROLE_PUSH_BUTTON
PICTURES = (pyatspi.ROLE_ICON, pyatspi.ROLE_IMAGE)
EXPECTED_NAMES = {
    "pockets": ["ポケット1", "ポケット2", "ポケット3"],
    "mode picture": ["ジョブ"],  # the window starts in job mode
    "step buttons": ["先頭へ", "一つ前", "次", "最後へ", "一覧から選択"],
    "Go": ["移動"],
    "favorites buttons": ["お気に入りを開く", "お気に入りに追加"],
}
BAND_CAPTIONS = ["ポケット", "操作"]


def walk(node, depth=0):
    """Every accessible below `node`, with its parent, except the page's own content."""
    if depth > 40:
        return
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:  # a child that went away while we looked
            continue
        if child is None:
            continue
        yield child, node
        # The page belongs to the engine, not to the main window.
        if child.getRole() in (pyatspi.ROLE_DOCUMENT_WEB, pyatspi.ROLE_DOCUMENT_FRAME):
            continue
        yield from walk(child, depth + 1)


def find_window(pid, deadline):
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is None or app.get_process_id() != pid:
                    continue
            except Exception:
                continue
            for window in app:
                if window is not None and window.getRole() == pyatspi.ROLE_FRAME and \
                        window.name.endswith("Tarvik"):
                    # Wait until the window has built its bars.
                    if sum(1 for n, _ in walk(window) if n.getRole() == PUSH_BUTTON) >= 8:
                        return window
        time.sleep(0.5)
    return None


def visible(node):
    return node.getState().contains(pyatspi.STATE_VISIBLE)


def label(node):
    return "%s %r (description %r)" % (node.getRoleName(), node.name, node.description)


def check_present(window):
    failures = []
    nodes = list(walk(window))
    buttons = [n for n, _ in nodes if n.getRole() == PUSH_BUTTON and visible(n)]
    if len(buttons) < 8:
        failures.append("only %d push buttons found" % len(buttons))
    for n in buttons:
        if not n.name and not n.description:
            failures.append("push button without name or description: " + label(n))
    for n, parent in nodes:
        if n.getRole() in PICTURES and visible(n) and parent.getRole() == PUSH_BUTTON:
            if not parent.name and not parent.description:
                failures.append("picture in a button without name or description: " + label(n))
    panel_names = [n.name for n, _ in nodes]
    for caption in BAND_CAPTIONS:
        if caption not in panel_names:
            failures.append("no cool bar band named %r" % caption)
    return failures


def check_names(window):
    failures = []
    nodes = list(walk(window))
    for n, parent in nodes:
        if n.getRole() in PICTURES and visible(n) and parent.getRole() != PUSH_BUTTON:
            if not n.name and not n.description:
                failures.append("picture without name or description: " + label(n))
    names = {n.name for n, _ in nodes if n.getRole() in PICTURES + (PUSH_BUTTON,)}
    for what, expected in EXPECTED_NAMES.items():
        for name in expected:
            if name not in names:
                failures.append("%s: no control named %r" % (what, name))
    return failures


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in ("present", "names"):
        print(__doc__)
        return 2
    tarvik, which = sys.argv[1], sys.argv[2]
    # The desktop's cache tools, which Tarvik starts as it ends, may still be writing below the
    # home folder when the window has gone; what they leave is removed once they are done.
    with tempfile.TemporaryDirectory(prefix="tarvik-a11y-", ignore_cleanup_errors=True) as home:
        env = dict(os.environ)
        env.update({
            "HOME": home,
            "TARVIK_HOME": os.path.join(home, "app"),
            "XDG_CONFIG_HOME": os.path.join(home, "config"),
            "XDG_DATA_HOME": os.path.join(home, "data"),
            "XDG_CACHE_HOME": os.path.join(home, "cache"),
            "NO_AT_BRIDGE": "0",
            "GTK_A11Y": "atk",
        })
        # The window's own process shows the blank page; nothing is fetched.
        proc = subprocess.Popen([tarvik, "about:blank"], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            window = find_window(proc.pid, time.time() + 60)
            if window is None:
                print("FAILED: the main window did not appear on the accessibility bus")
                return 1
            failures = check_present(window) if which == "present" else check_names(window)
        finally:
            proc.terminate()
            try:
                proc.wait(10)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
            for _ in range(50):
                shutil.rmtree(home, ignore_errors=True)
                if not os.path.exists(home):
                    break
                time.sleep(0.1)
    for f in failures:
        print("FAILED: " + f)
    print("%d passed, %d failed" % (1 if not failures else 0, 1 if failures else 0))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
