#!/usr/bin/python3
"""Reads the proclens window the way a screen reader does: through AT-SPI on
the session's accessibility bus. One question per call; the answer goes to
standard output, and the exit status says whether the thing asked for is there.

usage: atspi_probe.py QUESTION [ARGS]
    names              the accessible names of the window's controls, one
                       "role<TAB>name" line each, in the order of the tree
    row NAME           the three texts of the row whose name is NAME
    select NAME        selects that row and gives the list the keyboard focus
    selected           the name of the selected row
    selected-row       the position of the selected row
    focused            the role and name of the control that has the focus
    status             the status bar's text
    menu               the items of a context menu on show
    header N           the screen rectangle of column header N: x y width height
    row-box NAME       the screen rectangle of the first cell of the row whose name
                       is NAME: x y width height; fails while the row is scrolled away
"""

import sys

import pyatspi


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "proclens":
            return app
    return None


def walk(node):
    yield node
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child)


def find(root, role, name=None):
    for node in walk(root):
        if node.getRole() == role and (name is None or node.name == name):
            return node
    return None


def table(app):
    found = find(app, pyatspi.ROLE_TABLE)
    if found is None:
        raise SystemExit("no table in the window")
    return found, found.queryTable()


def row_texts(cells, row):
    return [cells.getAccessibleAt(row, column).name for column in range(cells.nColumns)]


def row_named(cells, name):
    for row in range(cells.nRows):
        if cells.getAccessibleAt(row, 0).name == name:
            return row
    return None


def has_state(node, state):
    return node.getState().contains(state)


def main():
    question, args = sys.argv[1], sys.argv[2:]
    app = application()
    if app is None:
        return 1
    if question == "names":
        named_roles = {pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_ICON, pyatspi.ROLE_TABLE,
                       pyatspi.ROLE_FILLER, pyatspi.ROLE_FRAME}
        for node in walk(app):
            if node.getRole() in named_roles and node.name:
                print(f"{node.getRoleName()}\t{node.name}")
        return 0
    if question in ("row", "select"):
        node, cells = table(app)
        row = row_named(cells, args[0])
        if row is None:
            return 1
        if question == "row":
            print("\t".join(row_texts(cells, row)))
            return 0
        node.querySelection().clearSelection()
        cells.addRowSelection(row)
        node.queryComponent().grabFocus()
        return 0
    if question in ("selected", "selected-row"):
        _, cells = table(app)
        rows = cells.getSelectedRows()
        if not rows:
            return 1
        print(rows[0] if question == "selected-row" else cells.getAccessibleAt(rows[0], 0).name)
        return 0
    if question == "focused":
        for node in walk(app):
            if has_state(node, pyatspi.STATE_FOCUSED) and node.getRole() != pyatspi.ROLE_TABLE_CELL:
                print(f"{node.getRoleName()}\t{node.name}")
                return 0
        return 1
    if question == "status":
        bar = find(app, pyatspi.ROLE_STATUS_BAR)
        if bar is None:
            return 1
        print(bar.name)
        return 0
    if question == "menu":
        items = [node.name for node in walk(app)
                 if node.getRole() == pyatspi.ROLE_MENU_ITEM and has_state(node, pyatspi.STATE_SHOWING)]
        print("\n".join(items))
        return 0 if items else 1
    if question == "header":
        node, cells = table(app)
        header = cells.getColumnHeader(int(args[0]))
        box = header.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x, box.y, box.width, box.height)
        return 0
    if question == "row-box":
        node, cells = table(app)
        row = row_named(cells, args[0])
        if row is None:
            return 1
        box = cells.getAccessibleAt(row, 0).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        # Every row says it is showing; one scrolled away has no place on the screen.
        view = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        if box.y < view.y or box.y + box.height > view.y + view.height:
            return 1
        print(box.x, box.y, box.width, box.height)
        return 0
    print(f"unknown question {question}", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
