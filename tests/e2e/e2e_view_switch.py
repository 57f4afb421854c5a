"""The view switch sets the command state: in the grid Undo, Cut, Copy, Select
All and Clear All are disabled, as is the navigator; the first switch to the
record view after a start in the grid finds Cut/Copy and Select All/Clear All
enabled. A switch writes the record being edited, and a double click on a grid
row opens it in the record view."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, catalogue_rows, checked, enabled, expect, mouse_location, text_of  # noqa: E402
from moxe2e import log, wait_until  # noqa: E402

EDIT_ITEMS = ["Undo", "Cut", "Copy", "Paste", "Select All", "Clear All"]
IN_GRID = {"Undo": False, "Cut": False, "Copy": False, "Paste": False, "Select All": False, "Clear All": False}
# The clipboard stays empty in this private X server, so Paste stays off.
IN_RECORD = {"Undo": False, "Cut": True, "Copy": True, "Paste": False, "Select All": True, "Clear All": True}
TOOL_BUTTONS = ["Undo", "Cut", "Copy", "Paste"]


def check_states(w, view, wanted):
    menu = w.menu_states("Edit")
    w.shot(f"edit-menu-{view}")
    w.close_menu()
    got = {name: menu.get(name) for name in EDIT_ITEMS}
    expect(got == wanted, f"in the {view} view the Edit menu items are {got}, not {wanted}")
    toolbar = w.s.find("push button", "New", root=w.frame).parent
    buttons = {name: enabled(w.s.find("push button", name, root=toolbar)) for name in TOOL_BUTTONS}
    expect(buttons == {n: wanted[n] for n in TOOL_BUTTONS},
           f"in the {view} view the tool buttons are {buttons}, not as the menu {wanted}")
    items = w.open_menu("View")
    marks = (checked(items["Grid"]), checked(items["Record"]))
    w.close_menu()
    expect(marks == (view == "grid", view == "record"),
           f"in the {view} view the check marks of View > Grid and View > Record are {marks}")
    insert = enabled(w.navigator("Insert"))
    expect(insert == (view == "record"),
           f"the navigator is {'enabled' if insert else 'disabled'} in the {view} view")


def scenario(s):
    s.start()
    w = MainWindow(s)
    w.wait_view(grid=True)
    check_states(w, "grid", IN_GRID)

    w.choose("View", "Record")
    w.wait_view(grid=False)
    check_states(w, "record", IN_RECORD)

    # Choosing the view that shows changes nothing.
    w.choose("View", "Record")
    w.wait_view(grid=False)
    check_states(w, "record", IN_RECORD)

    s.keys("ctrl+g", window_id=w.window_id)
    w.wait_view(grid=True)
    check_states(w, "grid", IN_GRID)
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)
    check_states(w, "record", IN_RECORD)

    # The switch writes what was typed.
    w.fill("Archive", "alpha.zip")
    w.fill("Product", "Alpha Grid")
    w.fill("Type", "Unit", role="combo box")
    w.fill("Status", "Testing", role="combo box")
    w.wait_status(1, "Modified")
    s.keys("ctrl+g", window_id=w.window_id)
    w.wait_view(grid=True)
    w.wait_status(1, "")
    w.wait_status(0, "Record 1 of 1")
    grid = w.grid()
    cell = wait_until(lambda: next((c for c in s.find_all("table cell", None, root=grid)
                                    if c.name == "alpha.zip"), None), 10, "the posted record in the grid")
    w.shot("grid-with-record")
    expect(len(catalogue_rows(s.program_file("contents.db"))) == 1,
           "the switch to the grid did not write the record to the catalogue")

    # A double click on the row opens it in the record view.
    x, y = s.centre(cell)
    if mouse_location() != (x, y):
        s.mouse_move(x, y)
    s.mouse_click(double=True)
    w.wait_view(grid=False)
    expect(text_of(w.box("Archive")) == "alpha.zip", "the double click did not open the record it was on")
    w.shot("record-from-double-click")
    w.exit()
    expect(s.read_ini()["View"].get("Grid") == "0", "the record view was not stored at exit")
    log("the command states followed the view, and the switch wrote the record")


if __name__ == "__main__":
    moxe2e.main(scenario)
