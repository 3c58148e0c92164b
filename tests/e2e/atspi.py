"""Drives a running Veltaro window through the accessibility bus (AT-SPI):
finds controls by role and name, presses buttons, reads the receive list."""
import sys
import time

import pyatspi


def find_app(name, timeout=20.0):
    end = time.time() + timeout
    while time.time() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    raise SystemExit(f"no application {name!r} on the accessibility bus")


def find(node, role, name=None):
    def match(n):
        return n is not None and n.getRoleName() == role and (name is None or n.name == name)
    found = pyatspi.findDescendant(node, match, True)
    if found is None:
        raise SystemExit(f"no {role} {name!r}")
    return found


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "Press", "click"):
            action.doAction(i)
            return
    action.doAction(0)


def list_texts(node):
    """The rows of a one-column table (or a list) as their texts."""
    try:
        table = node.queryTable()
    except NotImplementedError:
        return [node.getChildAtIndex(i).name for i in range(node.childCount)]
    return [table.getAccessibleAt(r, 0).name for r in range(table.nRows)]


def wait_until(condition, timeout, what):
    end = time.time() + timeout
    while time.time() < end:
        if condition():
            return
        time.sleep(0.1)
    raise SystemExit(f"timed out waiting for {what}")


def main():
    app_name, command = sys.argv[1], sys.argv[2]
    app = find_app(app_name)
    if command == "send-and-list":
        # The Test page is live: type free text, press Send, and wait until
        # the list shows a line that the module sent.
        text, want = sys.argv[3], sys.argv[4]
        send = find(app, "push button", "Send")
        wait_until(lambda: send.getState().contains(pyatspi.STATE_ENABLED), 20, "Send enabled")
        field = find(app, "text", "Send text")
        field.queryEditableText().setTextContents(text)
        press(send)
        listbox = find(app, "table", "Receive")
        wait_until(lambda: any(want in t for t in list_texts(listbox)), 20,
                   f"a list entry containing {want!r}")
        print("listed:", [t for t in list_texts(listbox) if want in t][:1])
    elif command == "auto-send":
        # Message lines sent by the auto-send timer for a few seconds.
        send = find(app, "push button", "Send")
        wait_until(lambda: send.getState().contains(pyatspi.STATE_ENABLED), 20, "Send enabled")
        press(find(app, "check box", "Use CAN Message"))
        press(find(app, "push button", "Auto"))
        time.sleep(float(sys.argv[3]))
        press(find(app, "push button", "Stop"))
    else:
        raise SystemExit(f"unknown command {command}")


if __name__ == "__main__":
    main()
