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
    selected-description  what a screen reader hears of the selected row besides its name
    focused            the role and name of the control that has the focus
    status             the status bar's text
    menu               the items of a context menu on show
    header N           the screen rectangle of column header N: x y width height
    row-box NAME       the screen rectangle of the first cell of the row whose name
                       is NAME: x y width height; fails while the row is scrolled away
    rows               every row in the list's order, its three texts tab-separated
                       (in the details view)
    columns            each column header's name and width, tab-separated
    buttons            each view-style button: name, x, y, width (in the window),
                       and "down" or "up"
    view               the list's view on show: report, large or small
    headline           the headline's text (its two lines joined by a line feed)
    document           the title and the address of the page in the browser pane
    events FILE        until ended: one line "NANOSECONDS<TAB>TITLE<TAB>ADDRESS"
                       appended to FILE whenever the pane's page loads or its
                       title changes
    dialog             the message box on show: x y width height, "selectable"
                       or "plain", and its text, tab-separated
    icon-pixels NAME R G B   how many pixels of the colour (each channel within
                       24) the first cell of row NAME shows, read off the screen
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


def cell_box(cells, name):
    """The screen rectangle of the first cell of the row whose name is NAME; None without one."""
    row = row_named(cells, name)
    return None if row is None else cells.getAccessibleAt(row, 0).queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def has_state(node, state):
    return node.getState().contains(state)


def showing(node):
    return has_state(node, pyatspi.STATE_SHOWING)


def document(app):
    for node in walk(app):
        if node.getRole() == pyatspi.ROLE_DOCUMENT_WEB:
            return node
    return None


def document_line(node):
    attributes = dict(item.split(":", 1) for item in node.queryDocument().getAttributes() if ":" in item)
    return f"{node.name}\t{attributes.get('URI', '')}"


def record_events(app, file):
    """Appends a line for every load and title of the pane's page until ended."""
    import time

    def noted(event):
        received = time.time_ns()  # before any question to the page adds its own delay
        try:
            if event.source.getRole() == pyatspi.ROLE_DOCUMENT_WEB:
                line = f"{received}\t{document_line(event.source)}\n"
                with open(file, "a", encoding="utf-8") as out:
                    out.write(line)
        except Exception:  # a page that went away while it was read
            pass

    pyatspi.Registry.registerEventListener(noted, "document:load-complete",
                                           "object:property-change:accessible-name")
    with open(file, "a", encoding="utf-8"):
        pass  # the file exists once the listener does
    pyatspi.Registry.start()
    return 0


def icon_view_size(app):
    """The picture size of the icon view on show (its cells are as tall or as wide), 0 without one."""
    for node in walk(app):
        if node.getRole() == pyatspi.ROLE_LAYERED_PANE and showing(node):
            # Items without a picture answer with an empty box.
            items = (node.getChildAtIndex(index) for index in range(node.childCount))
            return max((min(item.queryImage().getImageSize()) for item in items
                        if item is not None and "Image" in item.get_interfaces()), default=0)
    return 0


def screen_pixels(box):
    import gi
    gi.require_version("Gdk", "3.0")
    from gi.repository import Gdk
    shot = Gdk.pixbuf_get_from_window(Gdk.get_default_root_window(), box.x, box.y, box.width, box.height)
    if shot is None:
        return []
    data, stride, channels = shot.get_pixels(), shot.get_rowstride(), shot.get_n_channels()
    return [tuple(data[y * stride + x * channels: y * stride + x * channels + 3])
            for y in range(shot.get_height()) for x in range(shot.get_width())]


def window_questions(app, question, args):
    """The questions that read the whole window; None for any other."""
    if question == "rows":
        _, cells = table(app)
        for row in range(cells.nRows):
            print("\t".join(row_texts(cells, row)))
        return 0
    if question == "columns":
        _, cells = table(app)
        for column in range(cells.nColumns):
            header = cells.getColumnHeader(column)
            print(f"{header.name}\t{header.queryComponent().getExtents(pyatspi.WINDOW_COORDS).width}")
        return 0
    if question == "buttons":
        for node in walk(app):
            if node.getRole() == pyatspi.ROLE_RADIO_BUTTON:
                box = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
                down = "down" if has_state(node, pyatspi.STATE_CHECKED) else "up"
                print(f"{node.name}\t{box.x}\t{box.y}\t{box.width}\t{down}")
        return 0
    if question == "view":
        # The details view leaves the tree while an icon view is on show.
        node = find(app, pyatspi.ROLE_TABLE)
        if node is not None and showing(node):
            print("report")
            return 0
        size = icon_view_size(app)
        print("large" if size > 16 else "small" if size else "none")
        return 0
    if question == "headline":
        label = find(app, pyatspi.ROLE_LABEL)
        if label is None:
            return 1
        print(label.name)
        return 0
    if question == "document":
        node = document(app)
        if node is None:
            return 1
        print(document_line(node))
        return 0
    if question == "events":
        return record_events(app, args[0])
    if question == "dialog":
        for node in walk(app):
            if node.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG) and showing(node):
                box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                texts = [text for text in walk(node)
                         if text.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_LABEL) and showing(text)
                         and "Text" in text.get_interfaces() and text.queryText().characterCount > 0]
                if not texts:
                    return 1
                text_of = texts[0].queryText()
                text = text_of.getText(0, -1)
                # A text the user can select takes a selection of all of it.
                selectable = text_of.addSelection(0, text_of.characterCount) and \
                    text_of.getSelection(0) == (0, text_of.characterCount)
                if selectable:
                    text_of.removeSelection(0)
                print(f"{box.x} {box.y} {box.width} {box.height}\t{'selectable' if selectable else 'plain'}\t{text}")
                return 0
        return 1
    if question == "icon-pixels":
        box = cell_box(table(app)[1], args[0])
        if box is None:
            return 1
        colour = [int(value) for value in args[1:4]]
        print(sum(1 for pixel in screen_pixels(box) if all(abs(a - b) <= 24 for a, b in zip(pixel, colour))))
        return 0
    return None


def main():
    question, args = sys.argv[1], sys.argv[2:]
    app = application()
    if app is None:
        return 1
    answered = window_questions(app, question, args)
    if answered is not None:
        return answered
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
    if question in ("selected", "selected-row", "selected-description"):
        _, cells = table(app)
        rows = cells.getSelectedRows()
        if not rows:
            return 1
        cell = cells.getAccessibleAt(rows[0], 0)
        print({"selected-row": rows[0], "selected": cell.name}.get(question, cell.description))
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
        box = cell_box(cells, args[0])
        # Every row says it is showing; one scrolled away has no place on the screen.
        view = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        if box is None or box.y < view.y or box.y + box.height > view.y + view.height:
            return 1
        print(box.x, box.y, box.width, box.height)
        return 0
    print(f"unknown question {question}", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
