"""The resize rule, as the accessibility tree reports the controls: a client area
of 400 x 300 keeps the minimum layout (tool bar 526 wide, notebook 275 high, cut
off by the window); the design client area of 632 x 434 puts every resized
control at its designed place."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, expect  # noqa: E402
from moxe2e import fail, log, run_tool, wait_until  # noqa: E402


class Layout:
    """The resized controls, in the coordinates of the client area (the window's
    central widget below the menu bar) or of their parent where said."""

    def __init__(self, w):
        s = w.s
        self.s = s
        self.client = s.find("filler", "", root=w.frame)
        self.toolbar = s.find("push button", "New", root=w.frame).parent
        self.navigator = w.find("filler", "Record navigator")
        self.divider = next(c for c in (self.toolbar.getChildAtIndex(i) for i in range(self.toolbar.childCount))
                            if c is not None and c.getRoleName() == "frame")
        self.notebook = s.find("layered pane", None, root=self.client)
        self.statusbar = w.statusbar

    def box(self, acc, origin=None):
        """(left, top, width, height) relative to origin (default: the client area)."""
        x, y, width, height = self.s.extents(acc)
        ox, oy, _, _ = self.s.extents(origin or self.client)
        return x - ox, y - oy, width, height

    def client_size(self):
        return self.s.extents(self.client)[2:]


def set_client_size(w, layout, width, height):
    """Sizes the window so that its client area is width x height."""
    _, _, fw, fh = w.s.extents(w.frame)
    cw, ch = layout.client_size()
    menu = fh - ch  # the menu bar above the client area
    run_tool(["xdotool", "windowsize", str(w.window_id), str(width), str(height + menu)])
    wait_until(lambda: layout.client_size() == (width, height), 10,
               f"the client area to become {width} x {height} (it is {layout.client_size()})")


def check(what, got, wanted):
    if got != wanted:
        fail(f"{what}: {got}, not {wanted}")


def record_page_boxes(w, layout):
    """The record page's resized boxes, relative to the Information group."""
    info = w.find("panel", "Information")
    guide = w.find("text", "Guide")
    comments = w.find("text", "Comments")
    label = w.find("label", "Comments")
    return {
        "grpInfo": layout.box(info, layout.notebook)[2:],
        "memGuide": layout.box(guide, info),
        "memComments": layout.box(comments, info),
        "lblComments top": layout.box(label, info)[1],
    }


def scenario(s):
    s.start()
    w = MainWindow(s)
    layout = Layout(w)

    # The smallest layout, cut off by the window.
    set_client_size(w, layout, 400, 300)
    w.shot("grid-400x300")
    check("the tool bar at 400 x 300", layout.box(layout.toolbar)[2], 526)
    check("the notebook at 400 x 300", layout.box(layout.notebook)[2:], (526, 275))
    check("the navigator's left in the tool bar at 400 x 300", layout.box(layout.navigator, layout.toolbar)[0],
          526 - 225)
    check("the status bar at 400 x 300", layout.box(layout.statusbar), (6, 319, 526, 19))
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)
    w.shot("record-400x300")
    boxes = record_page_boxes(w, layout)
    check("the Information group at 400 x 300", boxes["grpInfo"], (509, 117))
    check("the Guide memo at 400 x 300", boxes["memGuide"][1:], (15, 422, 45))
    check("the Comments memo at 400 x 300", boxes["memComments"][1:], (63, 422, 45))

    # The design size: every control where the design puts it.
    set_client_size(w, layout, 632, 434)
    w.shot("record-632x434")
    check("the tool bar", layout.box(layout.toolbar), (6, 0, 620, 31))
    check("the divider's left in the tool bar", layout.box(layout.divider, layout.toolbar)[0], 386)
    check("the navigator in the tool bar", layout.box(layout.navigator, layout.toolbar), (395, 3, 216, 25))
    check("the notebook", layout.box(layout.notebook), (6, 38, 620, 365))
    check("the status bar", layout.box(layout.statusbar), (6, 409, 620, 19))
    boxes = record_page_boxes(w, layout)
    check("the Information group", boxes["grpInfo"], (603, 207))
    check("the Guide memo", boxes["memGuide"][1:], (15, 516, 90))
    check("the Comments memo", boxes["memComments"][1:], (108, 516, 90))
    check("the Comments label's top", boxes["lblComments top"], 108)
    s.keys("ctrl+g", window_id=w.window_id)
    w.wait_view(grid=True)
    check("the grid at the design size", layout.box(w.grid())[2:], (620, 365))
    w.shot("grid-632x434")

    # Heights 344 and 345 on either side of the minimum.
    for height, notebook in ((344, 275), (345, 276)):
        set_client_size(w, layout, 632, height)
        check(f"the notebook at a client height of {height}", layout.box(layout.notebook)[3], notebook)
    w.exit()
    log("the resize rule held at 400 x 300, at the design size and at the minimum height")


if __name__ == "__main__":
    moxe2e.main(scenario)
