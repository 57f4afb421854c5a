"""A catalogue kept by an earlier version as a Paradox table (CONTENTS.DB with its .MB
and .PX): File > Reopen asks whether to convert it; Yes moves the Paradox files into
CONTENTS-paradox beside it and opens the converted catalogue, its records in the grid
with their accented names and its images in the record view, pixel for pixel. After a
restart it opens directly, without the question."""

import os
import shutil
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from helperwindow import rgb_pixels  # noqa: E402
from mainwindow import MainWindow, click, expect, showing, text_of  # noqa: E402
from moxe2e import log, wait_until  # noqa: E402

DATA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "paradox")
QUESTION = "This catalogue is in the old Paradox format. Convert it?"
IN_GRID = ["Main Archive", "Second Archive", "Alpha Suite", "Café tools", "Zeta", "Zürich office",
           "Imported from v1 catalogue", "Donation 2003"]


def find_square(screen, picture):
    """Whether the 32x32 picture shows somewhere in the screen crop, exactly."""
    for dy in range(len(screen) - 31):
        for dx in range(len(screen[0]) - 31):
            if all(screen[dy + r][dx:dx + 32] == picture[r] for r in range(32)):
                return True
    return False


def shows_picture(w, name, bmp):
    """The image control `name` on the record page shows the bitmap's pixels."""
    control = w.s.find(None, name, root=w.app)
    x, y, width, height = w.s.extents(control)
    w.s.settle()
    shot = w.s.screenshot(f"record-{name.split()[0].lower()}")
    return find_square(rgb_pixels(shot, (x, y, width, height)), rgb_pixels(bmp))


def scenario(s):
    program_folder = s.program_dir + os.sep
    legacy = os.path.join(s.root, "old catalogue")
    os.makedirs(legacy)
    for name in ("CONTENTS.DB", "CONTENTS.MB", "CONTENTS.PX"):
        shutil.copyfile(os.path.join(DATA, "small", name), os.path.join(legacy, name))
    table = os.path.join(legacy, "CONTENTS.DB")
    s.write_ini(f"[Program]\nKeepPaths=1\nInitPaths=0\n"
                f"[View]\nGrid=1\nDatabaseName={program_folder}\nTableName=contents.db\n"
                f"[History]\nFile0={table}\n")

    s.start()
    w = MainWindow(s)
    w.wait_view(grid=True)
    w.wait_status(3, "contents")
    entries = w.reopen_items()
    expect([e.name for e in entries] == [f"1 {table}"], f"File > Reopen lists {[e.name for e in entries]}")
    click(w.s, entries[0])
    box, text = w.message_box("Moxarium")
    w.shot("convert-question")
    expect(text == QUESTION, f"Reopen of the Paradox catalogue asks {text!r}")
    w.answer(box, "Yes")
    w.wait_status(3, "CONTENTS")
    w.wait_status(0, "Record 1 of 5")

    kept = os.path.join(legacy, "CONTENTS-paradox")
    moved = sorted(os.listdir(kept)) if os.path.isdir(kept) else []
    expect(moved == ["CONTENTS.DB", "CONTENTS.MB", "CONTENTS.PX"], f"{kept} holds {moved}")
    with open(os.path.join(kept, "CONTENTS.DB"), "rb") as moved_db, \
            open(os.path.join(DATA, "small", "CONTENTS.DB"), "rb") as original:
        expect(moved_db.read() == original.read(), "the Paradox table changed on its way into CONTENTS-paradox")

    grid = w.grid()
    wait_until(lambda: all(any(c.name == t for c in s.find_all("table cell", None, root=grid)) for t in IN_GRID),
               10, f"the grid to show {IN_GRID}")
    w.shot("converted-grid")

    # The second record holds both images.
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)
    w.press("Next")
    w.wait_status(0, "Record 2 of 5")
    expect((text_of(w.box("Product")), text_of(w.box("Type", role="combo box"))) == ("Alpha Suite", "Component"),
           "the second record is not Alpha Suite's component")
    expect(shows_picture(w, "Original bitmap", os.path.join(DATA, "images", "rec1_OrigImg.bmp")),
           "the record view does not show the original image")
    expect(shows_picture(w, "Current bitmap", os.path.join(DATA, "images", "rec1_CurrImg.bmp")),
           "the record view does not show the current image")
    w.exit()

    view = s.read_ini()["View"]
    expect((view.get("DatabaseName"), view.get("TableName")) == (legacy + os.sep, "CONTENTS.DB"),
           f"mox.ini names {view.get('DatabaseName')!r} {view.get('TableName')!r}")

    # Converted once, it opens at the start without a question.
    s.start()
    w = MainWindow(s)
    w.wait_view(grid=False)
    w.wait_status(3, "CONTENTS")
    w.wait_status(0, "Record 2 of 5")
    s.settle(1.0)
    boxes = [b for role in ("alert", "dialog") for b in s.find_all(role, "Moxarium", root=w.app) if showing(b)]
    expect(not boxes, "the restart asked or told something")
    w.shot("restarted")
    w.exit()
    log("the Paradox catalogue was converted on Yes, shown whole, and opened directly after the restart")


if __name__ == "__main__":
    moxe2e.main(scenario)
