"""A screen reader's client for the accessibility test (window_screen_reader_test).

Run by the system's python3 (python3-pyatspi): screen_reader_client.py PID TABLE...
Finds the program PID through the accessibility registry and, for each table named TABLE, prints
one JSON line with what its table interface reports. Then it prints {"listening": true}, waits for
the program to move a table's cursor and prints the cell that the focus event names
({"focus": {...}}, or {"focus": null} when none came). Exits 2 when the program or a table cannot
be found.
"""
import json
import sys
import time

import pyatspi
from gi.repository import GLib

WAIT_SECONDS = 30


def say(value):
    print(json.dumps(value, ensure_ascii=False), flush=True)


def find_application(pid):
    deadline = time.monotonic() + WAIT_SECONDS
    while time.monotonic() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            application = desktop.getChildAtIndex(i)
            try:
                if application is not None and application.get_process_id() == pid:
                    return application
            except GLib.Error:
                pass  # an application that went away meanwhile
        time.sleep(0.2)
    return None


def find_table(application, name):
    def is_table(accessible):
        return accessible.getRoleName() == "table" and accessible.name == name

    return pyatspi.findDescendant(application, is_table, breadth_first=True)


def name_of(accessible):
    return accessible.name if accessible is not None else None


def read_table(accessible):
    table = accessible.queryTable()
    columns, rows = table.nColumns, table.nRows
    return {
        "table": accessible.name,
        "nColumns": columns,
        "nRows": rows,
        "columnDescriptions": [table.getColumnDescription(c) for c in range(columns)],
        "columnHeaders": [name_of(table.getColumnHeader(c)) for c in range(columns)],
        "rowDescriptions": [table.getRowDescription(r) for r in range(rows)],
        "rowHeaders": [name_of(table.getRowHeader(r)) for r in range(rows)],
        "firstRow": [name_of(table.getAccessibleAt(0, c)) for c in range(columns)],
        "lastRow": [name_of(table.getAccessibleAt(rows - 1, c)) for c in range(columns)],
    }


def wait_for_focus():
    heard = []
    loop = GLib.MainLoop()

    def on_focus(event):
        cell = event.source
        if event.detail1 != 1 or cell.getRoleName() != "table cell":
            return
        heard.append({
            "table": name_of(cell.parent),
            "name": cell.name,
            "indexInParent": cell.getIndexInParent(),
        })
        loop.quit()

    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    say({"listening": True})
    GLib.timeout_add_seconds(WAIT_SECONDS, loop.quit)
    loop.run()
    return heard[0] if heard else None


def main():
    pid = int(sys.argv[1])
    application = find_application(pid)
    if application is None:
        print(f"no application with process id {pid}", file=sys.stderr)
        return 2
    for name in sys.argv[2:]:
        table = find_table(application, name)
        if table is None:
            print(f"no table named {name}", file=sys.stderr)
            return 2
        say(read_table(table))
    say({"focus": wait_for_focus()})
    return 0


if __name__ == "__main__":
    sys.exit(main())
