#!/usr/bin/python3
"""Reads the editor's channel list through AT-SPI, as a screen reader does.

Run inside a D-Bus session on an X display (atspi_sheet.sh sets both up):
    atspi_sheet.py EDITOR CLONE_FILE
Checks that the channel list is a table with "Harbour" and "7.100000" in one row and named
column headers, and that a click and the arrow keys give focus events named after the
cells. Exits 0 on success, 1 on a failure, 77 when the accessibility bus cannot start.
"""

import subprocess
import sys
import tempfile
import time

SKIP = 77


def say(text):
    print(text, flush=True)


def start_bus():
    """The accessibility bus launcher, started on the session bus; None when it does not
    start (the launcher is then ended)."""
    from gi.repository import Gio, GLib

    try:
        session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    except GLib.Error as e:
        say("SKIP: no D-Bus session: %s" % e.message)
        return None
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
                return launcher
        except GLib.Error:
            pass
        if launcher.poll() is not None:
            break
        time.sleep(0.2)
    if launcher.poll() is None:
        stop(launcher)
        say("SKIP: the AT-SPI bus did not answer within 20 s")
    else:
        err = launcher.stderr.read().decode(errors="replace").strip()
        say("SKIP: the AT-SPI bus launcher ended (exit %s): %s" % (launcher.returncode, err))
    return None


def stop(process):
    """Ends a process this test started, by its id, and waits for it."""
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def xdo(*args):
    """One xdotool command; a hang of the X server does not hang the test."""
    subprocess.run(["xdotool"] + list(args), check=False, timeout=10)


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
    launcher = start_bus()
    if launcher is None:
        return SKIP
    try:
        return read_the_sheet(editor, clone_file)
    finally:
        stop(launcher)


def read_the_sheet(editor, clone_file):
    import pyatspi
    from gi.repository import GLib

    failures = []

    def check(ok, what):
        say(("ok    " if ok else "FAIL  ") + what)
        if not ok:
            failures.append(what)

    # The editor's output goes to a file: a full pipe would stop it.
    output = tempfile.TemporaryFile()
    app_proc = subprocess.Popen([editor, clone_file], stdout=output, stderr=subprocess.STDOUT)
    try:
        def editor_gone():
            if app_proc.poll() is None:
                return False
            output.seek(0)
            say(output.read().decode(errors="replace"))
            check(False, "the editor runs (exit %s)" % app_proc.returncode)
            return True

        def the_app():
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                candidate = desktop.getChildAtIndex(i)
                try:
                    if candidate is not None and candidate.get_process_id() == app_proc.pid:
                        return candidate
                except Exception:
                    pass
            return None

        def wait_for(what, seconds):
            deadline = time.time() + seconds
            while time.time() < deadline:
                if editor_gone():
                    return None
                found = what()
                if found is not None:
                    return found
                time.sleep(0.5)
            return None

        def is_tree(n):
            return n.getRoleName() in ("tree", "tree table")

        def app_with_tree():
            a = the_app()
            return a if a is not None and find(a, is_tree) is not None else None

        # The editor starts on its first page with the navigation tree in the focus.
        app = wait_for(app_with_tree, 90)
        check(app is not None, "the editor is on the accessibility bus")
        if app is None:
            return 1
        tree = find(app, is_tree)
        check(tree.name == "Sheets", "the navigation tree is named \"Sheets\" (%r)" % tree.name)
        try:
            header = tree.queryTable().getColumnHeader(0)
            heading = header.name if header is not None else ""
        except NotImplementedError:
            heading = ""
        check(heading != "1", "the tree's heading is not \"1\" (%r)" % heading)

        # To the channel list with the keyboard, as a reader's user goes: a click on the
        # tree's "Memory Channels" gives the window the keyboard, Right opens the branch and
        # Down twice passes the bank overview to the channel list.
        branch = find(tree, lambda n: n.getRoleName() in ("table cell", "tree item")
                      and n.name == "Memory Channels")
        check(branch is not None, "the tree shows \"Memory Channels\"")
        if branch is None:
            return 1
        x, y, w, h = branch.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        xdo("mousemove", str(x + w // 2), str(y + h // 2), "click", "1")
        for key in ("Right", "Down", "Down"):
            time.sleep(0.7)
            xdo("key", key)

        def channel_list():
            return find(app, lambda n: n.getRoleName() == "table" and n.name == "Channel List")

        table = wait_for(channel_list, 30)
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
                xdo(*steps.pop(0))
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
        stop(app_proc)

    say("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
