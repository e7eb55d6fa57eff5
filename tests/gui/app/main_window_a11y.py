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
                                        buttons, Go and the favorites buttons have their names;
                                        the pockets and the mode picture are toggle buttons with
                                        their checked state, the title line has a name
  main_window_a11y.py TARVIK actions   the "click" action of the bus: on the version item it
                                        returns while the version window it opens stays open,
                                        the program answers meanwhile, the window has a control
                                        that takes the focus and closes with Escape; on the mode
                                        switch it changes the mode
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
TOGGLES = {"ポケット1": False, "ポケット2": False, "ポケット3": False, "ジョブ": True}
TITLE_LINE = "タイトル行"
VERSION_ITEM = "ﾊﾞｰｼﾞｮﾝ情報(V)..."
VERSION_WINDOW = "ﾊﾞｰｼﾞｮﾝ情報"


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
    toggles = {n.name: n for n, _ in nodes if n.getRole() == pyatspi.ROLE_TOGGLE_BUTTON}
    for name, checked in TOGGLES.items():
        if name not in toggles:
            failures.append("no toggle button named %r" % name)
        elif toggles[name].getState().contains(pyatspi.STATE_CHECKED) != checked:
            failures.append("toggle button %r is %schecked" % (name, "not " if checked else ""))
    if not any(n.name == TITLE_LINE and n.getRole() == pyatspi.ROLE_TEXT for n, _ in nodes):
        failures.append("no text box named %r" % TITLE_LINE)
    return failures


def app_of(pid):
    for app in pyatspi.Registry.getDesktop(0):
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def find_top(pid, name):
    app = app_of(pid)
    for window in app or []:
        if window is not None and window.name == name and \
                window.getState().contains(pyatspi.STATE_SHOWING):
            return window
    return None


def wait_for(condition, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.2)
    return None


def click(node):
    """The node's "click" action, as a screen reader runs it; an error for a call left waiting."""
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "click":
            return action.doAction(i)
    raise RuntimeError("%s has no click action" % label(node))


def check_actions(window, pid):
    failures = []
    nodes = list(walk(window))
    item = next((n for n, _ in nodes if n.getRole() == pyatspi.ROLE_MENU_ITEM and
                 n.name == VERSION_ITEM), None)
    if item is None:
        return ["no menu item %r" % VERSION_ITEM]
    try:
        click(item)
    except Exception as e:  # the call timed out: the dialog ran inside it
        failures.append("the click on %r was not answered: %s" % (VERSION_ITEM, e))
    dialog = wait_for(lambda: find_top(pid, VERSION_WINDOW), 30)
    if dialog is None:
        return failures + ["the version window did not open"]
    if not any(n.getState().contains(pyatspi.STATE_FOCUSABLE) for n, _ in walk(dialog)):
        failures.append("the version window has no control that takes the focus")
    # The program answers while the dialog is open.
    if window.name != wait_for(lambda: window.name, 5):
        failures.append("the main window does not answer while the version window is open")
    # A key sent just as the window manager hands the window the focus may be lost: Escape is
    # pressed again until the window closes or the deadline passes.
    subprocess.run(["xdotool", "search", "--sync", "--name", VERSION_WINDOW, "windowactivate",
                    "--sync"], timeout=30, check=False)
    for _ in range(10):
        subprocess.run(["xdotool", "key", "Escape"], timeout=30, check=False)
        if wait_for(lambda: find_top(pid, VERSION_WINDOW) is None, 3):
            break
    else:
        failures.append("Escape did not close the version window")

    # The mode switch's click: direct mode, the switch no longer pressed.
    switch = next((n for n, _ in nodes if n.getRole() == pyatspi.ROLE_TOGGLE_BUTTON and
                   n.name == "ジョブ"), None)
    if switch is None:
        return failures + ["no mode switch"]
    try:
        click(switch)
    except Exception as e:
        failures.append("the click on the mode switch failed: %s" % e)
    if not wait_for(lambda: not switch.getState().contains(pyatspi.STATE_CHECKED), 30):
        failures.append("the mode switch's click did not change the mode")
    return failures


def main():
    if len(sys.argv) != 3 or sys.argv[2] not in ("present", "names", "actions"):
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
            if which == "present":
                failures = check_present(window)
            elif which == "names":
                failures = check_names(window)
            else:
                failures = check_actions(window, proc.pid)
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
