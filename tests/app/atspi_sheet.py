#!/usr/bin/python3
"""Reads the editor's channel list through AT-SPI, as a screen reader does.

Run inside a D-Bus session on an X display (atspi_sheet.sh sets both up):
    atspi_sheet.py EDITOR CLONE_FILE
Checks that the channel list is a table with "Harbour" and "7.100000" in one row and named
column headers, and that a click and the arrow keys give focus events named after the
cells. Exits 0 on success, 1 on a failure, 77 when the accessibility bus cannot start.
"""

import os
import subprocess
import sys
import time

SKIP = 77


def say(text):
    print(text, flush=True)


def start_bus():
    """The accessibility bus, started on the session bus; False when it does not start."""
    from gi.repository import Gio, GLib

    try:
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    except GLib.Error as e:
        say("SKIP: no D-Bus session: %s" % e.message)
        return False
    launcher = subprocess.Popen(
        ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"],
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    deadline = time.time() + 20
    while time.time() < deadline:
        try:
            reply = session.call_sync(
                "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                GLib.VariantType("(s)"), Gio.DBusCallFlags.NO_AUTO_START, 2000, None)
            if reply.unpack()[0]:
                # Toolkits that ask whether assistive technology is on hear yes.
                session.call_sync(
                    "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
                    GLib.Variant("(ssv)", ("org.a11y.Status", "IsEnabled",
                                           GLib.Variant("b", True))),
                    None, Gio.DBusCallFlags.NONE, 2000, None)
                return True
        except GLib.Error:
            pass
        if launcher.poll() is not None:
            break
        time.sleep(0.2)
    err = launcher.stderr.read().decode(errors="replace").strip() if launcher.poll() is not None else ""
    say("SKIP: the AT-SPI bus did not start %s" % err)
    return False


def find(node, pred, depth=0, limit=14):
    if node is None or depth > limit:
        return None
    try:
        if pred(node):
            return node
        count = node.childCount
    except Exception:
        return None
    # A table's cells are not searched through: the table is what is looked for.
    if depth > 0 and node.getRoleName() in ("table", "list", "tree", "tree table"):
        return None
    for i in range(count):
        try:
            hit = find(node.getChildAtIndex(i), pred, depth + 1, limit)
        except Exception:
            hit = None
        if hit is not None:
            return hit
    return None


def main():
    editor, clone_file = sys.argv[1], sys.argv[2]
    if not start_bus():
        return SKIP

    import pyatspi
    from gi.repository import GLib

    failures = []

    def check(ok, what):
        say(("ok    " if ok else "FAIL  ") + what)
        if not ok:
            failures.append(what)

    app_proc = subprocess.Popen([editor, clone_file], stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT)
    try:
        table = None
        app = None
        deadline = time.time() + 90
        while time.time() < deadline and table is None:
            if app_proc.poll() is not None:
                say(app_proc.stdout.read().decode(errors="replace"))
                check(False, "the editor runs (exit %s)" % app_proc.returncode)
                return 1
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                candidate = desktop.getChildAtIndex(i)
                try:
                    if candidate is not None and candidate.get_process_id() == app_proc.pid:
                        app = candidate
                except Exception:
                    pass
            if app is not None:
                table = find(app, lambda n: n.getRoleName() == "table"
                             and n.name == "Channel List")
            if table is None:
                time.sleep(0.5)
        check(app is not None, "the editor is on the accessibility bus")
        tree = find(app, lambda n: n.getRoleName() in ("tree", "tree table"))
        check(tree is not None and tree.name == "Sheets", "the navigation tree is named \"Sheets\"")
        if tree is not None:
            try:
                header = tree.queryTable().getColumnHeader(0)
                heading = header.name if header is not None else ""
            except NotImplementedError:
                heading = ""
            check(heading != "1", "the tree's heading is not \"1\" (%r)" % heading)
        check(table is not None, "the channel list is a table named \"Channel List\"")
        if table is None:
            return 1

        t = table.queryTable()
        say("table: %d rows, %d columns" % (t.nRows, t.nColumns))
        harbour = None
        for r in range(min(t.nRows, 50)):
            names = [t.getAccessibleAt(r, c).name for c in range(t.nColumns)]
            if "Harbour" in names:
                say("row %d: %s" % (r, names))
                check("7.100000" in names, "\"Harbour\" and \"7.100000\" are in one row")
                harbour = t.getAccessibleAt(r, names.index("Harbour"))
                break
        check(harbour is not None, "a row names \"Harbour\"")
        headers = []
        for c in range(t.nColumns):
            h = t.getColumnHeader(c)
            headers.append(h.name if h is not None else None)
        say("column headers: %s" % headers)
        check(len(headers) > 0 and all(headers), "every column has a named header")
        check("Name" in headers, "the name column's header is \"Name\"")
        if harbour is None:
            return 1

        # Focus events while a click and the arrow keys move the current cell.
        focused = []

        def on_focus(event):
            if event.detail1 == 1:
                try:
                    focused.append((event.source.getRoleName(), event.source.name))
                except Exception:
                    pass

        pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
        x, y, w, h = harbour.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        say("Harbour cell at %d,%d %dx%d" % (x, y, w, h))
        steps = [
            ["mousemove", str(x + w // 2), str(y + h // 2), "click", "1"],
            ["key", "Down"],
            ["key", "Up"],
            ["key", "Left"],
        ]
        loop = GLib.MainLoop()

        def step():
            if steps:
                subprocess.run(["xdotool"] + steps.pop(0), check=False)
                return True
            GLib.timeout_add(1500, loop.quit)
            return False

        GLib.timeout_add(1500, step)
        GLib.timeout_add(30000, loop.quit)
        loop.run()
        pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")
        say("focus events: %s" % focused)
        cells = [name for role, name in focused if role in ("table cell", "row header")]
        check("Harbour" in cells, "the click focuses the cell \"Harbour\"")
        after = cells[cells.index("Harbour") + 1:] if "Harbour" in cells else []
        check(after[:2] == ["Pier", "Harbour"],
              "Down and Up give focus events named \"Pier\" and \"Harbour\"")
        check(len(after) >= 3 and after[2] == "USB",
              "Left gives a focus event named after the mode \"USB\"")
    finally:
        app_proc.kill()
        app_proc.wait()

    say("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
