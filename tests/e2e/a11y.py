#!/usr/bin/python3
"""Reads the program's windows through the desktop's accessibility
interface (AT-SPI), as a screen reader does.

  a11y.py dump TITLE    waits (at most 20 s) for a top-level window with that
                        name and prints every object below it, one a line:
                        depth, role, name, text, enabled/disabled (tab-separated;
                        line breaks inside texts are shown as \\r and \\n)
  a11y.py press TITLE BUTTON   presses the push button of that name
"""
import sys
import time

import pyatspi


def escaped(text):
    return text.replace("\r", "\\r").replace("\n", "\\n")


def find_window(title):
    for _ in range(200):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is None:
                continue
            for window in app:
                if window is not None and window.name == title:
                    return window
        time.sleep(0.1)
    sys.exit(f"no accessible window '{title}'")


def text_of(accessible):
    try:
        text = accessible.queryText()
    except NotImplementedError:
        return ""
    return text.getText(0, -1)


def dump(accessible, depth=0):
    state = accessible.getState()
    enabled = "enabled" if state.contains(pyatspi.STATE_ENABLED) else "disabled"
    print("\t".join([str(depth), accessible.getRoleName(), escaped(accessible.name),
                     escaped(text_of(accessible)), enabled]))
    for child in accessible:
        if child is not None:
            dump(child, depth + 1)


def press(accessible, name):
    if accessible.getRole() == pyatspi.ROLE_PUSH_BUTTON and accessible.name == name:
        action = accessible.queryAction()
        for i in range(action.nActions):
            if action.getName(i) in ("Press", "press", "click"):
                action.doAction(i)
                return True
        action.doAction(0)
        return True
    return any(press(child, name) for child in accessible if child is not None)


if __name__ == "__main__":
    window = find_window(sys.argv[2])
    if sys.argv[1] == "dump":
        dump(window)
    elif sys.argv[1] == "press":
        if not press(window, sys.argv[3]):
            sys.exit(f"no button '{sys.argv[3]}'")
    else:
        sys.exit(__doc__)
