"""The Settings and Phrases dialogs as a person uses them: a type definition and a
standard phrase added through the dialogs, the phrase put into Comments from the
memo menu, the record stored and the program left; after a restart the type is in
the Type box's list, the phrase in the memo menu, and mox.ini holds both. The
invalid-path notice and the directory chooser are seen on the way."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, catalogue_rows, click, expect, showing, text_of  # noqa: E402
from moxe2e import log, wait_until  # noqa: E402

TYPE_TYPED = " dLL tools "
TYPE_STORED = "Dll tools"
PHRASE = "Tested with Delphi 3"
# The phrases of a new settings file and the one added, as the submenu lists them.
PHRASES = sorted(["Installation", "Usage", "Documentation", "Adjustments", PHRASE], key=str.lower)
RECORD = {"Archive": "tools.zip", "Product": "Tool Kit", "Type": TYPE_STORED, "Status": "Testing"}


def dialog(w, title):
    box = w.s.find("dialog", title, root=w.app)
    mx, my, mw, mh = w.s.extents(w.frame)
    bx, by, bw, bh = w.s.extents(box)
    expect(abs(bx - (mx + (mw - bw) // 2)) <= 1 and abs(by - (my + (mh - bh) // 2)) <= 1,
           f"the {title} dialog at {bx},{by} {bw}x{bh} is not centred on the main window")
    return box


def closed(w, title, over_main=True):
    """Waits for a dialog to close. There is no window manager to hand the keyboard
    back: the main window gets it here; a dialog underneath gets it by a click."""
    wait_until(lambda: not any(showing(d) for d in w.s.find_all("dialog", title, root=w.app)), 10,
               f"the {title} dialog to close")
    if over_main:
        w.s.focus(w.window_id)


def items_of(w, root, role="list item"):
    return [i.name for i in w.s.find_all(role, None, root=root)]


def settings_dialog(w):
    w.choose("Options", "Settings...")
    box = dialog(w, "Settings")
    w.shot("settings")

    # A folder that does not exist is refused with the notice.
    directory = w.s.find("text", "Directory", root=box)
    click(w.s, directory)
    w.s.keys("End", "shift+Home", "BackSpace")
    w.s.type_text("/no/such/folder")
    click(w.s, w.s.find("check box", "Save position in database", root=box))
    notice = dialog(w, "Invalid path")
    expect(w.s.find_all("label", "Please enter a valid path.", root=notice),
           "the invalid-path notice does not say 'Please enter a valid path.'")
    w.shot("invalid-path")
    click(w.s, w.s.find("push button", "OK", root=notice))
    closed(w, "Invalid path", over_main=False)
    click(w.s, directory)
    w.s.keys("End", "shift+Home", "BackSpace")
    w.s.type_text(w.s.program_dir)

    # The chooser opens on the typed folder; Cancel leaves the edit as it is.
    click(w.s, w.s.find("push button", "Browse", root=box))
    chooser = dialog(w, "Select a directory")
    folder = w.s.program_dir.rstrip("/")
    expect(w.s.find_all("label", folder, root=chooser),
           f"the directory chooser does not show {folder}: {items_of(w, chooser, 'label')}")
    w.shot("select-directory")
    click(w.s, w.s.find("push button", "Cancel", root=chooser))
    closed(w, "Select a directory", over_main=False)

    # A type added with the add button, named in odd case and blanks.
    types = w.s.find("panel", "Type Definitions", root=box)
    click(w.s, w.s.find("push button", "Add definition", root=types))
    editor = w.s.find("text", "Type definition", root=box)
    w.s.type_text(TYPE_TYPED)
    w.shot("settings-new-type")
    w.s.keys("Return")
    wait_until(lambda: TYPE_STORED in items_of(w, types), 5, f"{TYPE_STORED!r} to be in the type list")
    listed = items_of(w, types)
    expect(listed == sorted(listed, key=str.lower), f"the type list is not sorted: {listed}")
    expect(not showing(editor), "the in-place editor is still open after Enter")
    click(w.s, w.s.find("push button", "Save", root=box))
    closed(w, "Settings")


def phrases_dialog(w):
    w.choose("Options", "Phrases...")
    box = dialog(w, "Phrases")
    memo = w.s.find("text", "Phrases", root=box)
    click(w.s, memo)
    w.s.keys("ctrl+End", "Return")
    w.s.type_text(PHRASE)
    w.shot("phrases")
    click(w.s, w.s.find("push button", "Save Phrases", root=box))
    closed(w, "Phrases")


def insert_phrase(w, memo_name, position):
    """Opens the memo menu on a memo with the right mouse button and picks the phrase
    at that place of the Standard phrases submenu with the keyboard: the pop-up menu
    is not on the accessibility bus. Down skips a disabled item, so a disabled
    submenu inserts nothing."""
    memo = w.find("text", memo_name)
    click(w.s, memo, button=3)
    w.s.settle()
    w.shot(f"memo-menu-{memo_name.lower()}")
    w.s.keys("Down", "Right")
    w.s.settle()
    w.shot(f"phrase-submenu-{memo_name.lower()}")
    w.s.keys(*(["Down"] * position), "Return")
    return memo


def scenario(s):
    s.start()
    w = MainWindow(s)
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)

    settings_dialog(w)
    phrases_dialog(w)

    w.fill_record(RECORD)
    comments = insert_phrase(w, "Comments", PHRASES.index(PHRASE))
    wait_until(lambda: text_of(comments) == PHRASE, 5, "the phrase to be in Comments")
    w.wait_status(1, "Modified")
    w.shot("phrase-inserted")
    w.press("Commit")
    w.wait_status(0, "Record 1 of 1")
    w.exit()

    rows = catalogue_rows(s.program_file("contents.db"))
    expect(len(rows) == 1 and rows[0]["Comments"] == PHRASE and rows[0]["Type"] == TYPE_STORED,
           f"the catalogue holds {rows}")
    ini = s.read_ini()
    types = list(ini["TypeDefs"].values())
    phrases = list(ini["Phrases"].values())
    expect(TYPE_STORED in types, f"mox.ini's TypeDefs lack {TYPE_STORED!r}: {types}")
    expect(PHRASE in phrases, f"mox.ini's Phrases lack {PHRASE!r}: {phrases}")
    expect(ini["Program"].get("SaveRecNo") == "1", "the refused folder's click changed Save position")

    s.start()
    w = MainWindow(s)
    w.wait_view(grid=False)
    listed = items_of(w, w.combo("Type"))
    expect(TYPE_STORED in listed, f"the Type box's list lacks {TYPE_STORED!r}: {listed}")
    guide = insert_phrase(w, "Guide", PHRASES.index(PHRASE))
    wait_until(lambda: text_of(guide) == PHRASE, 5, "the phrase from the submenu to be in Guide after a restart")
    w.shot("phrase-inserted-after-restart")
    w.press("Cancel")
    w.exit()
    log("the type and the phrase added through the dialogs survived the restart")


if __name__ == "__main__":
    moxe2e.main(scenario)
