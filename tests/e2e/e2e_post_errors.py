"""A record that cannot be stored says why and stays being edited: a second
record with the same archive, product and type gets the key-violation box; one
without a status gets "Field 'Status' must have a value."; a switch to the grid
with such a record comes back to the record page with the typing kept."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, catalogue_rows, enabled, expect, state_of, text_of  # noqa: E402
from moxe2e import log, wait_until  # noqa: E402

KEY_VIOLATION = ("Posting this record causes a key violation!\n\n"
                 "Please make sure the combination of archivename,\n"
                 "productname and type definition together make a\n"
                 "unique key. Otherwise you can't post this record.")
STATUS_REQUIRED = "Field 'Status' must have a value."


def type_record(w, archive, product, type_, status):
    w.fill_record({"Archive": archive, "Product": product, "Type": type_, "Status": status})


def still_editing(w, archive, product, status):
    for name, role, wanted in (("Archive", "text", archive), ("Product", "text", product),
                               ("Status", "combo box", status)):
        got = text_of(w.box(name, role))
        expect(got == wanted, f"after the refused post the {name} box shows {got!r}, not {wanted!r}")
    expect(w.status(1) == "Modified", f"after the refused post status panel 1 reads {w.status(1)!r}")
    expect(enabled(w.navigator("Commit")) and enabled(w.navigator("Cancel")),
           "after the refused post the record is no longer being edited (Commit or Cancel disabled)")


def refused(w, what, wanted_text):
    box, text = w.message_box("Moxarium")
    w.shot(what)
    expect(text == wanted_text, f"the {what} box says {text!r}, not {wanted_text!r}")
    w.answer(box, "OK")
    wait_until(lambda: not w.s.find_all("alert", "Moxarium", root=w.app)
               and not w.s.find_all("dialog", "Moxarium", root=w.app), 10, f"the {what} box to close")


def scenario(s):
    s.start()
    w = MainWindow(s)
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)
    type_record(w, "alpha.zip", "Alpha Grid", "Unit", "Testing")
    w.press("Commit")
    w.wait_status(0, "Record 1 of 1")

    # The same archive, product and type again.
    w.press("Insert")
    w.wait_status(0, "")
    type_record(w, "alpha.zip", "Alpha Grid", "Unit", "In use")
    w.press("Commit")
    refused(w, "key-violation", KEY_VIOLATION)
    still_editing(w, "alpha.zip", "Alpha Grid", "In use")
    archive = w.box("Archive")
    import pyatspi
    wait_until(lambda: state_of(archive, pyatspi.STATE_FOCUSED), 5,
               "the Archive box to have the focus after the key violation")
    w.shot("after-key-violation")

    # A unique key but no status.
    w.fill("Product", "Beta Query")
    w.fill("Status", "", role="combo box")
    w.press("Commit")
    refused(w, "status-required", STATUS_REQUIRED)
    still_editing(w, "alpha.zip", "Beta Query", "")
    w.shot("after-status-required")

    # The switch to the grid writes the record first; it cannot, so the record
    # page stays with the typing.
    s.keys("ctrl+g", window_id=w.window_id)
    refused(w, "status-required-on-switch", STATUS_REQUIRED)
    w.wait_view(grid=False)
    still_editing(w, "alpha.zip", "Beta Query", "")
    w.shot("after-failed-switch")

    w.press("Cancel")
    w.wait_status(0, "Record 1 of 1")
    w.wait_status(1, "")
    w.exit()

    rows = catalogue_rows(s.program_file("contents.db"))
    stored = [(r["Archive"], r["Product"], r["Type"], r["Status"]) for r in rows]
    expect(stored == [("alpha.zip", "Alpha Grid", "Unit", "Testing")],
           f"the catalogue holds {stored} after the refused posts")
    log("both refusals showed their message and kept the record in editing")


if __name__ == "__main__":
    moxe2e.main(scenario)
