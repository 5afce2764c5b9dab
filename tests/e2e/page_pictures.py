#!/usr/bin/python3
"""Reads the offline page in the proclens browser pane off the screen, where
AT-SPI places its parts, and checks that its pictures are there: the three
menu icons, the award picture, the banner's and the menu's tiled
backgrounds, and the menu's background under the mouse. A picture whose
address did not resolve leaves an empty box or the cell's plain colour.

usage: page_pictures.py RESOURCE_DIR
RESOURCE_DIR is resources/res, with the GIF and JPG folders the pictures
come from. Prints one line per picture; exits 1 when one is missing.
"""

import subprocess
import sys
import time

import gi
import pyatspi

gi.require_version("Gdk", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import Gdk, GdkPixbuf  # noqa: E402

import atspi_probe  # noqa: E402

TOLERANCE = 32  # per channel: the browser and GdkPixbuf may decode a JPEG differently
MENU_ROW = 30


class Picture:
    """Pixels as rows of (r, g, b, a) tuples."""

    def __init__(self, pixbuf):
        self.width, self.height = pixbuf.get_width(), pixbuf.get_height()
        data, stride, channels = pixbuf.get_pixels(), pixbuf.get_rowstride(), pixbuf.get_n_channels()
        self.rows = [[tuple(data[y * stride + x * channels: y * stride + x * channels + channels]) + (255,) * (4 - channels)
                      for x in range(self.width)] for y in range(self.height)]

    def at(self, x, y):
        return self.rows[y][x] if 0 <= x < self.width and 0 <= y < self.height else None


def near(a, b):
    return a is not None and b is not None and all(abs(p - q) <= TOLERANCE for p, q in zip(a[:3], b[:3]))


def screen(box):
    return Picture(Gdk.pixbuf_get_from_window(Gdk.get_default_root_window(), box.x, box.y, box.width, box.height))


def share_matching(shot, picture, left, top, columns=None, rows=None):
    """The share of the picture's opaque pixels that the shot shows at left, top."""
    matched = counted = 0
    for y in range(rows or picture.height):
        for x in range(columns or picture.width):
            pixel = picture.at(x, y)
            if pixel[3] < 128:
                continue
            counted += 1
            matched += near(shot.at(left + x, top + y), pixel)
    return matched / counted if counted else 0.0


def found(shot, picture, lefts, tops, columns=None, rows=None, share=0.9):
    return any(share_matching(shot, picture, left, top, columns, rows) >= share for left in lefts for top in tops)


def extents(node):
    return node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)


def main(argv):
    resources = argv[1]
    pictures = {name: Picture(GdkPixbuf.Pixbuf.new_from_file(f"{resources}/{name}"))
                for name in ("GIF/home.gif", "GIF/files.gif", "GIF/software.gif", "GIF/awards.gif",
                             "JPG/bgverlauf.jpg", "JPG/bgmenu.jpg", "JPG/bgmenutop.jpg")}
    app = atspi_probe.application()
    page = app and atspi_probe.document(app)
    if page is None:
        print("no page in the pane", file=sys.stderr)
        return 1
    links = [node for node in atspi_probe.walk(page) if node.getRole() == pyatspi.ROLE_LINK]
    menu = [link for link in links if link.name in ("Home", "Files", "Dateien", "Software")]
    if len(menu) != 3:
        print(f"the menu has {len(menu)} entries", file=sys.stderr)
        return 1
    view = extents(page)
    shot = screen(view)
    boxes = [extents(link) for link in menu]
    local = [(box.x - view.x, box.y - view.y, box.width, box.height) for box in boxes]
    results = {}
    for (x, y, width, height), icon in zip(local, ("GIF/home.gif", "GIF/files.gif", "GIF/software.gif")):
        results[icon] = found(shot, pictures[icon], range(x, x + width - 15), range(y, y + height - 15))
    # One column in the menu entry's left padding shows the cell's background,
    # and the same column above it the banner's.
    column, top = local[0][0] + 4, local[0][1]
    results["JPG/bgmenu.jpg"] = found(shot, pictures["JPG/bgmenu.jpg"], [column], range(top - 3, top + 4),
                                      columns=1, rows=MENU_ROW)
    results["JPG/bgverlauf.jpg"] = found(shot, pictures["JPG/bgverlauf.jpg"], [column],
                                         range(top - 110, top - 95), columns=1, rows=95)
    # Under the mouse the entry takes the other background.
    subprocess.run(["xdotool", "mousemove", str(boxes[0].x + boxes[0].width // 2),
                    str(boxes[0].y + boxes[0].height // 2)], check=True)
    time.sleep(0.5)
    hovered = screen(view)
    results["JPG/bgmenutop.jpg"] = found(hovered, pictures["JPG/bgmenutop.jpg"], [column],
                                         range(top - 3, top + 4), columns=1, rows=MENU_ROW)
    subprocess.run(["xdotool", "mousemove", str(view.x + 2), str(view.y + view.height - 2)], check=True)
    # The award picture lies further down: brought into the pane first.
    award = next((node for node in atspi_probe.walk(page) if node.getRole() == pyatspi.ROLE_IMAGE), None)
    if award is not None:
        award.queryComponent().scrollTo(pyatspi.SCROLL_ANYWHERE)
        time.sleep(0.5)
        box = extents(award)
        shot = screen(view)
        x, y = box.x - view.x, box.y - view.y
        results["GIF/awards.gif"] = found(shot, pictures["GIF/awards.gif"], range(x - 2, x + 3), range(y - 2, y + 3))
    else:
        results["GIF/awards.gif"] = False
    for name, shown in results.items():
        print(f"{name}: {'shown' if shown else 'MISSING'}")
    return 0 if all(results.values()) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
