"""A user keeps two catalogues: File > New, a record typed, Save As into another
folder (the typed record goes with it), File > Open back to the first catalogue,
Reopen the saved one, Pack with a changed record, Exit. After a new start the
recent-files list, the open catalogue and the remembered folders are as left."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, catalogue_rows, click, expect, text_of  # noqa: E402
from moxe2e import log  # noqa: E402

FIRST = {"Archive": "alpha.zip", "Product": "Alpha Grid", "Type": "Unit", "Status": "Testing"}
SECOND = {"Archive": "beta.zip", "Product": "Beta Query", "Type": "Component", "Status": "In use"}
PACKED_PRODUCT = "Beta Query Pro"


def settings(folder):
    # Folders kept from run to run, not reset to the specified ones.
    return (f"[Program]\nKeepPaths=1\nInitPaths=0\n"
            f"[View]\nGrid=0\nDatabaseName={folder}\nTableName=contents.db\nRecNo=1\n"
            f"[Paths]\nArchives={folder}\nOpen={folder}\nSaveAs={folder}\nOpenBmp={folder}\nSaveBmp={folder}\n")


def type_record(w, record):
    w.fill_record(record)
    w.wait_status(1, "Modified")


def stored(path):
    return [{k: r[k] for k in ("Archive", "Product", "Type", "Status")} for r in catalogue_rows(path)]


def scenario(s):
    program_folder = s.program_dir + os.sep
    other_folder = os.path.join(s.root, "kept elsewhere") + os.sep
    os.makedirs(other_folder)
    contents = s.program_file("contents.db")
    untitled = s.program_file("untitled.db")
    saved = os.path.join(other_folder, "first.db")
    s.write_ini(settings(program_folder))

    s.start()
    w = MainWindow(s)
    w.wait_view(grid=False)
    w.wait_status(3, "contents")
    type_record(w, FIRST)
    w.press("Commit")
    w.wait_status(0, "Record 1 of 1")

    # New: an empty untitled catalogue in the Save As folder.
    w.choose("File", "New")
    w.wait_status(3, "untitled")
    expect(os.path.exists(untitled), f"File > New made no {untitled}")
    type_record(w, SECOND)
    w.shot("untitled-typed")

    # Save As with the record still being typed: it is posted and the file
    # goes to the chosen folder under the chosen name.
    w.choose("File", "Save As...")
    w.shot("save-as-dialog")
    w.file_dialog("Save with a new name", saved)
    w.confirm_create("Save with a new name", saved)
    w.wait_status(3, "first")
    w.wait_status(1, "")
    w.wait_status(0, "Record 1 of 1")
    expect(not os.path.exists(untitled), "untitled.db is still in the program folder after Save As")
    expect(stored(saved) == [SECOND], f"the saved catalogue holds {stored(saved)}, not the typed record")
    w.shot("saved-as")

    # Open the first catalogue again with the Open dialog.
    w.choose("File", "Open...")
    w.file_dialog("Open a MOX database", contents)
    w.wait_status(3, "contents")
    w.wait_status(0, "Record 1 of 1")
    expect(text_of(w.box("Archive")) == FIRST["Archive"], "File > Open does not show the first catalogue's record")

    # The newest entry is on top.
    wanted = [f"1 {contents}", f"2 {saved}"]
    entries = w.reopen_items()
    captions = [item.name for item in entries]
    w.shot("reopen-menu")
    expect(captions == wanted, f"File > Reopen lists {captions}, not {wanted}")
    click(w.s, entries[1])
    w.wait_status(3, "first")
    w.wait_status(0, "Record 1 of 1")
    expect(text_of(w.box("Product")) == SECOND["Product"], "Reopen does not show the saved catalogue's record")

    # Pack with a changed product: the change is written first, not lost.
    w.fill("Product", PACKED_PRODUCT)
    w.wait_status(1, "Modified")
    w.choose("File", "Pack")
    w.wait_status(1, "")
    w.wait_status(0, "Record 1 of 1")
    expect(text_of(w.box("Product")) == PACKED_PRODUCT, "after Pack the record page lost the changed product")
    w.shot("packed")
    w.exit()

    packed = dict(SECOND, Product=PACKED_PRODUCT)
    expect(stored(saved) == [packed], f"after Pack the saved catalogue holds {stored(saved)}, not {[packed]}")
    expect(stored(contents) == [FIRST], f"the first catalogue holds {stored(contents)}, not {[FIRST]}")
    ini = s.read_ini()
    view, paths, history = ini["View"], ini["Paths"], ini["History"]
    expect((view.get("DatabaseName"), view.get("TableName")) == (other_folder, "first.db"),
           f"mox.ini names {view.get('DatabaseName')!r} {view.get('TableName')!r} as the open catalogue")
    expect(paths.get("SaveAs") == other_folder, f"mox.ini remembers {paths.get('SaveAs')!r} as the Save As folder")
    expect(paths.get("Open") == program_folder, f"mox.ini remembers {paths.get('Open')!r} as the Open folder")
    # The reopened entry moved to the top.
    files = [history.get("File0"), history.get("File1")]
    expect(files == [saved, contents], f"mox.ini's recent files are {files}, not {[saved, contents]}")
    wanted = [f"1 {saved}", f"2 {contents}"]

    # A new start is where the first one ended.
    s.start()
    w = MainWindow(s)
    w.wait_view(grid=False)
    w.wait_status(3, "first")
    w.wait_status(0, "Record 1 of 1")
    expect(text_of(w.box("Product")) == PACKED_PRODUCT, "after the restart the saved record is not shown")
    captions = [item.name for item in w.reopen_items()]
    expect(captions == wanted, f"after the restart File > Reopen lists {captions}, not {wanted}")
    w.shot("restarted-reopen-menu")
    w.close_menus()
    w.exit()
    after = s.read_ini()
    expect(after["Paths"].get("SaveAs") == other_folder and after["Paths"].get("Open") == program_folder,
           "the remembered folders changed over a start without file commands")
    log("New, Save As, Open, Reopen and Pack kept both catalogues, and the restart came back to them")


if __name__ == "__main__":
    moxe2e.main(scenario)
