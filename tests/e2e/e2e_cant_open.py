"""Files that are not catalogues of ours are refused on File > Open: a text file
named .db, a zero-byte .db, a truncated catalogue and another program's SQLite
file each bring up "Can't open database", stay byte-identical, and leave the
previous catalogue open with its name in the status bar. A read-only catalogue
opens for browsing; storing a change then says the file is read-only and the
record stays being edited."""

import hashlib
import os
import shutil
import sqlite3
import stat
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, catalogue_rows, enabled, expect, showing, text_of  # noqa: E402
from moxe2e import log, wait_until  # noqa: E402

RECORD = {"Archive": "alpha.zip", "Product": "Alpha Grid", "Type": "Unit", "Status": "Testing"}
NOTICE = "Sorry, MOX can't open this database."


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def make_bad_files(folder, catalogue):
    """The files a user might pick by mistake, by name."""
    os.makedirs(folder)
    files = {}
    files["notes.db"] = os.path.join(folder, "notes.db")
    with open(files["notes.db"], "w") as f:
        f.write("Shopping list\r\nmilk\r\neggs\r\n")
    files["empty.db"] = os.path.join(folder, "empty.db")
    open(files["empty.db"], "wb").close()
    # A catalogue of ours cut short, as a broken copy leaves it.
    files["truncated.db"] = os.path.join(folder, "truncated.db")
    with open(catalogue, "rb") as f:
        whole = f.read()
    with open(files["truncated.db"], "wb") as f:
        f.write(whole[:len(whole) // 2])
    files["addresses.db"] = os.path.join(folder, "addresses.db")
    con = sqlite3.connect(files["addresses.db"])
    con.execute("CREATE TABLE people (name TEXT, street TEXT)")
    con.execute("INSERT INTO people VALUES ('Ann', 'High Street 1')")
    con.commit()
    con.close()
    return files


def refuses(w, name, path):
    before = digest(path)
    w.choose("File", "Open...")
    w.file_dialog("Open a MOX database", path)
    box, text = w.message_box("Can't open database")
    w.shot(f"cant-open-{name}")
    expect(text.startswith(NOTICE), f"opening {name} says {text!r}, not {NOTICE!r} first")
    expect(path in text, f"the notice for {name} does not name the file: {text!r}")
    w.answer(box, "OK")
    w.wait_status(3, "contents")
    w.wait_status(0, "Record 1 of 1")
    expect(text_of(w.box("Archive")) == RECORD["Archive"],
           f"after refusing {name} the previous catalogue's record is not shown")
    expect(digest(path) == before, f"{name} was changed by the attempt to open it")


def scenario(s):
    s.start()
    w = MainWindow(s)
    s.keys("ctrl+r", window_id=w.window_id)
    w.wait_view(grid=False)
    w.fill_record(RECORD)
    w.press("Commit")
    w.wait_status(0, "Record 1 of 1")

    contents = s.program_file("contents.db")
    bad = make_bad_files(os.path.join(s.root, "picked by mistake"), contents)
    for name in ("notes.db", "empty.db", "truncated.db", "addresses.db"):
        refuses(w, name, bad[name])

    # A catalogue marked read-only: it opens, and a change cannot be stored.
    locked = os.path.join(s.root, "locked", "archive.db")
    os.makedirs(os.path.dirname(locked))
    shutil.copyfile(contents, locked)
    os.chmod(locked, stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
    before = digest(locked)
    w.choose("File", "Open...")
    w.file_dialog("Open a MOX database", locked)
    w.wait_status(3, "archive")
    w.wait_status(0, "Record 1 of 1")
    w.shot("read-only-open")

    w.fill("Product", "Alpha Grid Changed")
    w.press("Commit")
    box, text = w.message_box("Moxarium")
    w.shot("read-only-post")
    expect("read-only" in text and locked in text,
           f"storing into the read-only catalogue says {text!r}, not that {locked} is read-only")
    w.answer(box, "OK")
    wait_until(lambda: not any(showing(b) for b in w.s.find_all("alert", "Moxarium", root=w.app)), 10,
               "the read-only box to close")
    expect(text_of(w.box("Product")) == "Alpha Grid Changed", "the refused change was taken off the record page")
    expect(w.status(1) == "Modified", f"after the refused post status panel 1 reads {w.status(1)!r}")
    expect(enabled(w.navigator("Cancel")), "after the refused post the record is no longer being edited")
    w.press("Cancel")
    w.wait_status(1, "")
    expect(text_of(w.box("Product")) == RECORD["Product"], "Cancel did not bring back the stored product")
    w.exit()

    expect(digest(locked) == before, "the read-only catalogue was changed")
    expect(catalogue_rows(contents)[0]["Product"] == RECORD["Product"], "the first catalogue lost its record")
    log("four bad files refused unchanged, the read-only catalogue browsed and left alone")


if __name__ == "__main__":
    moxe2e.main(scenario)
