"""Find and Find Next: the Find dialog opens from its tool button, Find shows the first
match, Find Next the next one and then the not-found notice, which leaves the last
match current. Closed, the dialog keeps its place: after File > Exit and a new start
it opens where it was left."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, checked, click, expect, showing, text_of  # noqa: E402
from moxe2e import log, run_tool, wait_until  # noqa: E402

RECORDS = [
    {"Archive": "alpha.zip", "Product": "Toolbox", "Type": "Unit", "Status": "Testing"},
    {"Archive": "beta.zip", "Product": "t o o l", "Type": "Unit", "Status": "Testing"},
    {"Archive": "gamma.zip", "Product": "mytools", "Type": "Unit", "Status": "Testing"},
]
MOVED_TO = (410, 95)


def open_find(w):
    """The Find dialog, opened with the tool button."""
    toolbar = w.s.find("push button", "New", root=w.frame).parent
    click(w.s, w.s.find("push button", "Find", root=toolbar))
    return w.s.find("dialog", "Find", root=w.app)


def find_window(s):
    """The Find dialog's X window. Its title carries the program's name after the
    caption ("Find — Moxarium"), which a search for the exact caption does not tell
    from the main window."""
    def found():
        for wid in s.window_ids():
            name = run_tool(["xdotool", "getwindowname", str(wid)]).stdout.strip()
            if name == "Find" or name.startswith("Find \u2014"):
                return wid
        return None
    return wait_until(found, 10, "the Find dialog's window")


def press(w, dialog, button):
    click(w.s, w.s.find("push button", button, root=dialog))


def scenario(s):
    s.start()
    w = MainWindow(s)
    w.wait_view(grid=True)
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)
    for i, record in enumerate(RECORDS):
        if i:
            w.press("Insert")
            w.wait_status(0, "")
        w.fill_record(record)
        w.press("Commit")
        w.wait_status(0, f"Record {i + 1} of {i + 1}")

    dialog = open_find(w)
    edit = s.find("text", "Find text", root=dialog)
    expect(text_of(edit) == "", f"the Find dialog opens with the text {text_of(edit)!r}")
    boxes = {name: s.find("check box", name, root=dialog) for name in ("Archive", "Product", "Origin")}
    expect(not any(checked(b) for b in boxes.values()), "a field of the Find dialog starts checked")
    click(s, edit)
    s.type_text("TOOL")
    wait_until(lambda: text_of(edit) == "TOOL", 5, "the Find text to read TOOL")
    click(s, boxes["Product"])
    wait_until(lambda: checked(boxes["Product"]), 5, "Product to be checked")
    w.shot("find-dialog")

    press(w, dialog, "Find")
    w.wait_status(0, "Record 1 of 3")
    expect(text_of(w.box("Product")) == "Toolbox", "Find did not show Toolbox")
    press(w, dialog, "Find Next")
    w.wait_status(0, "Record 3 of 3")
    expect(text_of(w.box("Product")) == "mytools", "Find Next did not show mytools")
    w.shot("find-next")

    press(w, dialog, "Find Next")
    box, text = w.message_box("Item not found")
    expect(text == '"TOOL" not found.', f"the notice says {text!r}")
    w.shot("not-found")
    w.answer(box, "OK")
    w.wait_status(0, "Record 3 of 3")
    expect(showing(dialog), "the Find dialog went away with the notice")

    # Moved by hand, then closed with its close box: only hidden.
    run_tool(["xdotool", "windowmove", str(find_window(s)), str(MOVED_TO[0]), str(MOVED_TO[1])])
    wait_until(lambda: s.extents(dialog)[:2] == MOVED_TO, 5, f"the Find dialog to move to {MOVED_TO}")
    s.close_window(find_window(s))
    wait_until(lambda: not showing(dialog), 5, "the Find dialog to close")
    w.shot("closed")
    w.exit()

    stored = s.read_ini()["View"]["FindPosition"]
    expect(stored == f"{MOVED_TO[0]},{MOVED_TO[1]}", f"the find position stored is {stored!r}")

    s.start()
    w = MainWindow(s)
    w.wait_view(grid=False)
    dialog = open_find(w)
    wait_until(lambda: s.extents(dialog)[:2] == MOVED_TO, 5,
               f"the Find dialog to open at {MOVED_TO} (it is at {s.extents(dialog)[:2]})")
    w.shot("find-after-restart")
    w.exit()
    log("Find and Find Next stepped to the notice; the dialog came back where it was left")


if __name__ == "__main__":
    moxe2e.main(scenario)
