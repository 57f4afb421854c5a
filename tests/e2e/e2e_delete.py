"""The navigator's Delete asks first: "No" keeps the record and the count, "Yes"
removes it; the catalogue file agrees after File > Exit."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, catalogue_rows, click, expect, text_of  # noqa: E402
from moxe2e import log, wait_until  # noqa: E402

RECORDS = [("alpha.zip", "Alpha Grid", "Unit", "Testing"), ("beta.zip", "Beta Query", "Tool", "In use")]


def delete_dialog(w):
    """The confirmation, checked for its text, buttons and place."""
    box = w.s.find("dialog", "Delete record", root=w.app)
    w.shot("delete-dialog")
    for text in ("Are you sure you want to delete this record?",):
        expect(w.s.find_all(name=text, root=box), f"the Delete record dialog does not say {text!r}")
    buttons = sorted(b.name for b in w.s.find_all("push button", None, root=box))
    expect(buttons == ["No", "Yes"], f"the Delete record dialog has the buttons {buttons}, not Yes and No")
    mx, my, mw, mh = w.s.extents(w.frame)
    bx, by, bw, bh = w.s.extents(box)
    expect(abs(bx - (mx + (mw - bw) // 2)) <= 1 and abs(by - (my + (mh - bh) // 2)) <= 1,
           f"the Delete record dialog at {bx},{by} {bw}x{bh} is not centred on the main window")
    return box


def answer(w, box, button):
    click(w.s, w.s.find("push button", button, root=box))
    wait_until(lambda: not w.s.find_all("dialog", "Delete record", root=w.app), 10,
               f"the Delete record dialog to close after {button}")
    w.s.focus(w.window_id)


def scenario(s):
    s.start()
    w = MainWindow(s)
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)
    for i, (archive, product, type_, status) in enumerate(RECORDS):
        if i:
            w.press("Insert")
            w.wait_status(0, "")
        w.fill("Archive", archive)
        w.fill("Product", product)
        w.fill("Type", type_, role="combo box")
        w.fill("Status", status, role="combo box")
        w.press("Commit")
        w.wait_status(0, f"Record {i + 1} of {i + 1}")
    w.shot("two-records")

    w.press("Delete")
    answer(w, delete_dialog(w), "No")
    w.wait_status(0, "Record 2 of 2")
    expect(text_of(w.box("Archive")) == "beta.zip", "No in the Delete record dialog changed the current record")
    w.shot("after-no")

    w.press("Delete")
    answer(w, delete_dialog(w), "Yes")
    w.wait_status(0, "Record 1 of 1")
    wait_until(lambda: text_of(w.box("Archive")) == "alpha.zip", 5, "the remaining record to show")
    w.shot("after-yes")
    w.exit()

    rows = catalogue_rows(s.program_file("contents.db"))
    stored = [(r["Archive"], r["Product"], r["Type"], r["Status"]) for r in rows]
    expect(stored == RECORDS[:1], f"the catalogue holds {stored} after deleting beta.zip")
    log("No kept the record, Yes deleted it")


if __name__ == "__main__":
    moxe2e.main(scenario)
