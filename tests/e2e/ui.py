#!/usr/bin/python3
"""Reads the Zolvu window through the accessibility interface (AT-SPI) and
drives it with real X input (xdotool), as a user with a screen reader would.

  ui.py state                  the window's controls as JSON
  ui.py wait EXPR [SECONDS]    polls until EXPR (Python, over the state `s`)
                               holds; prints the state, or fails with it
  ui.py click NAME             clicks the button or check box with that text
  ui.py select INDEX           clicks the result list's entry INDEX (from 0)
  ui.py folder TEXT            replaces the folder box's text by typing

The controls carry no names over AT-SPI, so they are told apart by role,
text and place: the folder box is the first text field of the window (the
bottom panel comes first), the path box the second; the status text is the
label inside the status bar, the one label not beside "Otsi faile
kataloogist:".
"""
import json
import subprocess
import sys
import time

import pyatspi

FOLDER_CAPTION = "Otsi faile kataloogist:"


def find_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "zolvu":
            for window in app:
                if window is not None and window.name == "Zolvu":
                    return window
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def text_of(node):
    text = node.queryText()
    return text.getText(0, text.characterCount)


def has(node, state):
    return node.getState().contains(state)


def centre(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x + box.width // 2, box.y + box.height // 2


def controls(window):
    """The controls by the name this driver gives them."""
    found = {"texts": [], "labels": [], "buttons": {}, "check": None, "list": None}
    for node in walk(window):
        role = node.getRole()
        if role == pyatspi.ROLE_TEXT:
            found["texts"].append(node)
        elif role == pyatspi.ROLE_LABEL:
            found["labels"].append(node)
        elif role == pyatspi.ROLE_PUSH_BUTTON:
            found["buttons"][node.name] = node
        elif role == pyatspi.ROLE_CHECK_BOX:
            found["check"] = node
        elif role == pyatspi.ROLE_LIST:
            found["list"] = node
    caption = next(n for n in found["labels"] if n.name == FOLDER_CAPTION)
    panel = caption.parent
    found["status"] = next(n for n in found["labels"] if n.parent != panel)
    found["folder"], found["path"] = found["texts"][0], found["texts"][1]
    return found


def state():
    window = find_window()
    if window is None:
        return None
    c = controls(window)
    items = [item for item in c["list"] if item is not None]
    return {
        "folder": text_of(c["folder"]),
        "path": text_of(c["path"]),
        "status": c["status"].name,
        "start": has(c["buttons"]["Analüüsi"], pyatspi.STATE_ENABLED),
        "stop": has(c["buttons"]["Lõpeta"], pyatspi.STATE_ENABLED),
        "precise": has(c["check"], pyatspi.STATE_CHECKED),
        "list": [item.name for item in items],
        "selected": [i for i, item in enumerate(items) if has(item, pyatspi.STATE_SELECTED)],
    }


def click_at(node):
    x, y = centre(node)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)


def main(argv):
    command = argv[1]
    if command == "state":
        print(json.dumps(state(), ensure_ascii=False))
    elif command == "wait":
        deadline = time.monotonic() + (float(argv[3]) if len(argv) > 3 else 20)
        last = None
        while time.monotonic() < deadline:
            try:
                last = state()
            except Exception as error:  # the window may be going away
                last = {"error": repr(error)}
            if last is not None and "error" not in last and eval(argv[2], {}, {"s": last}):
                print(json.dumps(last, ensure_ascii=False))
                return 0
            time.sleep(0.05)
        print("timed out waiting for %s; last state %s" % (argv[2], json.dumps(last, ensure_ascii=False)),
              file=sys.stderr)
        return 1
    else:
        c = controls(find_window())
        if command == "click":
            target = c["check"] if c["check"].name == argv[2] else c["buttons"][argv[2]]
            click_at(target)
        elif command == "select":
            click_at(c["list"][int(argv[2])])
        elif command == "folder":
            click_at(c["folder"])
            subprocess.run(["xdotool", "key", "ctrl+a", "BackSpace"], check=True)
            subprocess.run(["xdotool", "type", "--delay", "5", argv[2]], check=True)
        else:
            print("unknown command " + command, file=sys.stderr)
            return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
