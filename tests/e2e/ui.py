#!/usr/bin/python3
"""Reads the Zolvu window through the accessibility interface (AT-SPI) and
drives it with real X input (xdotool), as a user with a screen reader would.

  ui.py state                  the window's controls as JSON
  ui.py wait EXPR [SECONDS]    polls until EXPR (Python, over the state `s`)
                               holds; prints the state, or fails with it
  ui.py until EXPR [SECONDS]   the same, but reads only what EXPR needs and
                               prints nothing: it returns the moment EXPR holds
  ui.py during BEGIN COMMAND END [SECONDS]
                               waits for BEGIN, runs the shell COMMAND, waits
                               for END and prints the state, all with the
                               controls looked up once; "longest_still"
                               counts from BEGIN on
  ui.py steps COND CMD...      for each pair in turn: waits (at most 120 s)
                               for COND, then runs the shell command CMD;
                               the controls are looked up once
  ui.py click NAME             clicks the button or check box with that text
  ui.py where NAME             prints where that control's centre is on the
                               screen, for a click that must not wait for
                               the look-up while the program is busy
  ui.py select INDEX           clicks the result list's entry INDEX (from 0)
  ui.py folder TEXT            replaces the folder box's text by typing
  ui.py key KEY                types a key into the focused control

While it waits, `wait` also measures the longest time the status text
stood still and adds it to the state it prints, as "longest_still", with
that text as "longest_still_status".

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


READERS = {
    "folder": lambda c: text_of(c["folder"]),
    "path": lambda c: text_of(c["path"]),
    "status": lambda c: c["status"].name,
    "start": lambda c: has(c["buttons"]["Analüüsi"], pyatspi.STATE_ENABLED),
    "stop": lambda c: has(c["buttons"]["Lõpeta"], pyatspi.STATE_ENABLED),
    "precise": lambda c: has(c["check"], pyatspi.STATE_CHECKED),
    "list": lambda c: [item.name for item in c["list"] if item is not None],
    "selected": lambda c: [i for i, item in enumerate(c["list"])
                           if item is not None and has(item, pyatspi.STATE_SELECTED)],
}


class State(dict):
    """The window's state, each value read only when first asked for: while
    the program is busy every read waits for its next event hand-over."""

    def __init__(self, found):
        super().__init__()
        self.found = found

    def __missing__(self, key):
        self[key] = READERS[key](self.found)
        return self[key]

    def complete(self):
        for key in READERS:
            self[key]
        return dict(self)


def state():
    window = find_window()
    return None if window is None else State(controls(window)).complete()


def click_at(node):
    x, y = centre(node)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], check=True)


class Watcher:
    """Polls the window with controls looked up once, and measures how long
    the status text stands still. The clock starts at the first text read,
    not while the controls are being looked up."""

    def __init__(self):
        self.found = None
        self.last = None
        self.status, self.since, self.longest, self.longest_status = None, None, 0.0, None

    def poll(self):
        if self.found is None:
            window = find_window()
            self.found = controls(window) if window is not None else None
        if self.found is None:
            return None
        current = State(self.found)
        now = time.monotonic()
        if self.since is not None and now - self.since > self.longest:
            self.longest, self.longest_status = now - self.since, self.status
        if current["status"] != self.status:
            self.status, self.since = current["status"], now
        self.last = current
        return current

    def until(self, expression, seconds):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            try:
                current = self.poll()
                if current is not None and eval(expression, {}, {"s": current}):
                    return current
            except Exception as error:  # the window may be going away
                self.last, self.found = {"error": repr(error)}, None
            time.sleep(0.05)
        print("timed out waiting for %s; last seen %s"
              % (expression, json.dumps(dict(self.last or {}), ensure_ascii=False)), file=sys.stderr)
        return None

    def report(self, current):
        shown = current.complete()
        shown["longest_still"] = round(self.longest, 2)
        shown["longest_still_status"] = self.longest_status
        print(json.dumps(shown, ensure_ascii=False))


def main(argv):
    command = argv[1]
    watcher = Watcher()
    if command == "state":
        print(json.dumps(state(), ensure_ascii=False))
    elif command in ("wait", "until"):
        current = watcher.until(argv[2], float(argv[3]) if len(argv) > 3 else 20)
        if current is None:
            return 1
        if command == "wait":
            watcher.report(current)
    elif command == "steps":
        for expression, action in zip(argv[2::2], argv[3::2]):
            if watcher.until(expression, 120) is None:
                return 1
            subprocess.run(action, shell=True, check=True)
    elif command == "during":
        seconds = float(argv[5]) if len(argv) > 5 else 20
        if watcher.until(argv[2], seconds) is None:
            return 1
        subprocess.run(argv[3], shell=True, check=True)
        watcher.longest, watcher.longest_status = 0.0, None  # measured from BEGIN on
        current = watcher.until(argv[4], seconds)
        if current is None:
            return 1
        watcher.report(current)
    else:
        c = controls(find_window())
        if command == "where":
            target = c["check"] if c["check"].name == argv[2] else c["buttons"][argv[2]]
            print(*centre(target))
        elif command == "click":
            target = c["check"] if c["check"].name == argv[2] else c["buttons"][argv[2]]
            click_at(target)
        elif command == "select":
            click_at(c["list"][int(argv[2])])
        elif command == "key":
            subprocess.run(["xdotool", "key", argv[2]], check=True)
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
