"""Palette images captured from the screen and saved as bitmap files, on a real X
display: a helper window paints a known pattern beside the main window. A plain
left click on the overlay stores exactly the 32x32 square under the cursor, a drag
shows one dotted square at the last place and takes that one, a right click without
a left press says so on two lines and leaves the image; the program comes back after
every capture. A saved image is a 32x32 BMP with the captured pixels, and with
KeepPaths off the next save dialog opens in the old folder again."""

import os
import re
import sqlite3
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from helperwindow import HelperWindow, pattern_pixel, rgb_pixels  # noqa: E402
from mainwindow import MainWindow, click, enabled, expect, showing  # noqa: E402
from moxe2e import fail, log, run_tool, wait_until  # noqa: E402

PATTERN = (680, 420, 320, 300)   # x, y, width, height: right of and below the main window
CLICK = (700, 440)               # a plain click: the square's top-left corner
DRAG = [(720, 500), (760, 560), (800, 600)]
RIGHT_CLICK = (900, 650)


def square_of(top_left):
    x0, y0 = top_left
    return [[pattern_pixel(x0 + c, y0 + r) for c in range(32)] for r in range(32)]


def blob_pixels(s, column, artifacts_name):
    con = sqlite3.connect(f"file:{s.program_file('contents.db')}?mode=ro", uri=True, timeout=5)
    try:
        row = con.execute(f"SELECT {column} FROM catalogue").fetchone()
    finally:
        con.close()
    expect(row is not None and row[0], f"the catalogue holds no {column}")
    path = os.path.join(s.artifacts, artifacts_name)
    with open(path, "wb") as f:
        f.write(row[0])
    return path, rgb_pixels(path)


def overlays(s):
    return [d for d in s.find_all("dialog", "Capture") if showing(d)]


def wait_overlay(s):
    wait_until(lambda: overlays(s), 10, "the capture overlay to show")
    s.settle(0.3)


def wait_overlay_gone(s):
    wait_until(lambda: not overlays(s), 10, "the capture overlay to close")


def restored(s, w):
    """The main window is back on the screen and answers."""
    wait_until(lambda: s.window_ids("Moxarium"), 10, "the main window to show again")
    w.find("text", "Archive")


def capture(s, w, button, mouse):
    b = w.find("push button", button)
    wait_until(lambda: enabled(b), 5, f"{button} to be enabled")
    click(s, b)
    wait_overlay(s)
    mouse()
    wait_overlay_gone(s)


def scenario(s):
    old_folder = tempfile.mkdtemp(prefix="old-bitmaps-", dir=s.root) + os.sep
    new_folder = tempfile.mkdtemp(prefix="new-bitmaps-", dir=s.root) + os.sep
    s.write_ini("[Program]\r\nKeepPaths=0\r\nInitPaths=1\r\n"
                "[View]\r\nWindowPosition=0,0,640,480\r\nWindowState=1\r\nGrid=0\r\n"
                "[Paths]\r\nSaveBmp=" + old_folder + "\r\n"
                "[TypeDefs]\r\nType0=Component\r\nType1=Unit\r\n[StatusDefs]\r\nStatus0=In use\r\n")
    helper = HelperWindow(PATTERN, pattern=True)
    try:
        run(s, helper, new_folder, old_folder)
    finally:
        helper.close()


def run(s, helper, new_folder, old_folder):
    s.start()
    w = MainWindow(s)
    w.wait_view(grid=False)
    # An empty catalogue: typing the record starts it.
    w.fill("Archive", "capture.zip")
    w.fill("Product", "Capture")
    w.fill("Type", "Component", role="combo box")
    w.fill("Status", "In use", role="combo box")
    before = w.shot("before-capture")

    # A plain left click.
    def plain_click():
        s.mouse_move(*CLICK)
        s.mouse_click(1)
    capture(s, w, "Capture original", plain_click)
    restored(s, w)
    w.shot("after-click-capture")

    # A drag: one dotted square at the last place, on the frozen copy.
    def drag():
        s.mouse_move(*DRAG[0])
        run_tool(["xdotool", "mousedown", "1"])
        for point in DRAG[1:]:
            s.mouse_move(*point)
        s.settle(0.4)
        shot = w.shot("overlay-drag")
        check_one_outline(before, shot, DRAG[-1])
        run_tool(["xdotool", "mouseup", "1"])
    capture(s, w, "Capture current", drag)
    restored(s, w)

    w.press("Commit")
    w.wait_status(1, "")
    _, original = blob_pixels(s, "OrigImg", "captured-original.bmp")
    expect(original == square_of(CLICK), "the original image is not the square the click marked")
    _, current = blob_pixels(s, "CurrImg", "captured-current.bmp")
    expect(current == square_of(DRAG[-1]), "the current image is not the square where the drag ended")
    log("a click and a drag captured exactly their squares")

    # A right click without a left press: the message, and the image stays.
    def right_click():
        s.mouse_move(*RIGHT_CLICK)
        s.mouse_click(3)
    capture(s, w, "Capture original", right_click)
    box, text = w.message_box("Moxarium")
    expect(text.split("\n") == ["Error creating selection rectangle.", "Please, try again!"],
           f"the capture error reads {text!r}")
    w.shot("capture-error")
    w.answer(box, "OK")
    restored(s, w)
    w.press("Commit")
    _, original = blob_pixels(s, "OrigImg", "after-right-click.bmp")
    expect(original == square_of(CLICK), "the right click changed the original image")

    # Saving: a 32x32 bitmap with the captured pixels; the folder is not kept.
    saved = new_folder + "palette.bmp"
    click(s, w.find(None, "Original bitmap"), double=True)
    w.file_dialog("Save as Bitmap", saved)
    w.confirm_create("Save as Bitmap", saved)
    wait_until(lambda: os.path.exists(saved), 10, f"{saved} to be written")
    identify = run_tool(["identify", saved]).stdout
    expect(re.search(r" BMP\d? 32x32 ", identify), f"identify reads the saved file as {identify!r}")
    expect(rgb_pixels(saved) == square_of(CLICK), "the saved bitmap does not hold the captured pixels")

    click(s, w.find(None, "Original bitmap"), double=True)
    dialog = s.find("dialog", "Save as Bitmap", root=w.app)
    w.shot("second-save-dialog")
    # Qt names a combo box after what it shows: the first one is "Look in:".
    boxes = wait_until(lambda: sorted(s.find_all("combo box", None, root=dialog),
                                      key=lambda b: s.extents(b)[1]) or None, 10, "the save dialog's folder box")
    folder = boxes[0].name
    expect(os.path.normpath(folder) == os.path.normpath(old_folder),
           f"with KeepPaths off the second save dialog opens in {folder!r}, not {old_folder!r}")
    click(s, s.find("push button", "Cancel", root=dialog))
    wait_until(lambda: not any(showing(d) for d in s.find_all("dialog", "Save as Bitmap", root=w.app)), 10,
               "the save dialog to close")
    w.exit()
    log("the saved bitmap holds the capture; the save folder was not kept")


def check_one_outline(before, during, top_left):
    """Over the pattern window the overlay differs from the screen before only in the
    dotted outline of the square at top_left: every other border pixel inverted."""
    a = rgb_pixels(before, PATTERN)
    b = rgb_pixels(during, PATTERN)
    x0, y0 = top_left[0] - PATTERN[0], top_left[1] - PATTERN[1]
    differing = set()
    for r in range(PATTERN[3]):
        for c in range(PATTERN[2]):
            if a[r][c] != b[r][c]:
                differing.add((c, r))
    border = {(x0 + i, y0) for i in range(32)} | {(x0 + i, y0 + 31) for i in range(32)} | \
             {(x0, y0 + i) for i in range(32)} | {(x0 + 31, y0 + i) for i in range(32)}
    dots = {(x, y) for (x, y) in border if (x - x0 + y - y0) % 2 == 0}
    if differing != dots:
        extra = sorted(differing - dots)[:10]
        missing = sorted(dots - differing)[:10]
        fail(f"the overlay shows more or less than one dotted square at {top_left}: "
             f"{len(differing)} pixels differ, {len(dots)} expected; extra {extra}, missing {missing}")
    for (x, y) in dots:
        want = tuple(255 - v for v in a[y][x])
        if b[y][x] != want:
            fail(f"the outline pixel at {(x, y)} is {b[y][x]}, not the inverse {want}")
    log(f"the overlay shows one dotted square at {top_left}")


if __name__ == "__main__":
    moxe2e.main(scenario)
