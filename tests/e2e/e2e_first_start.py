"""A first start in an empty program folder: the default mox.ini is written, an
empty contents.db is made beside the program and shown in the grid view with its
ten columns; File > Exit then removes the empty catalogue, while mox.ini still
names it."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import GRID_TITLES, MainWindow, catalogue_rows, checked, expect  # noqa: E402
from moxe2e import fail, log  # noqa: E402


def default_ini(folder):
    """The settings a first start writes, section by section, key by key."""
    return [
        ("Program", [("KeepPaths", "1"), ("InitPaths", "1"), ("SaveInterface", "1"), ("SaveRecNo", "1"),
                     ("SaveToCache", "0")]),
        ("View", [("WindowPosition", "0,0,640,480"), ("WindowState", "1"), ("FindPosition", "0,0"),
                  ("Grid", "1"), ("DatabaseName", folder), ("TableName", "contents.db"), ("RecNo", "1"),
                  ("IndexName", "")]),
        ("Grid", [(f"Column{n}", f"{n}, 40") for n in range(10)]),
        ("Paths", [(key, folder) for key in ("Archives", "Open", "SaveAs", "OpenBmp", "SaveBmp")]),
        ("Phrases", [("Phrase0", "Installation"), ("Phrase1", "Usage"), ("Phrase2", "Documentation"),
                     ("Phrase3", "Adjustments")]),
        ("StatusDefs", [("Status0", "Discarded"), ("Status1", "In use"), ("Status2", "Testing"),
                        ("Status3", "Unseen")]),
        ("TypeDefs", [(f"Type{i}", t) for i, t in enumerate(
            ["Application", "Component", "Component collection", "Document", "Expert", "Expert collection",
             "Magazine", "Property editor", "Unit"])]),
        ("History", [("File0", "")]),
    ]


def check_default_ini(s):
    ini = s.read_ini()
    expect(ini is not None, "no mox.ini was written at the first start")
    folder = s.program_dir + os.sep
    wanted = default_ini(folder)
    expect(ini.sections() == [name for name, _ in wanted],
           f"mox.ini has the sections {ini.sections()}, not {[n for n, _ in wanted]}")
    for section, keys in wanted:
        got = list(ini[section].items())
        if got != keys:
            fail(f"section [{section}] of mox.ini holds {got}, not {keys}")


def scenario(s):
    expect(not os.path.exists(s.ini_path), "the program folder already has a mox.ini")
    s.start()
    w = MainWindow(s)
    w.shot("first-start")

    check_default_ini(s)
    catalogue = s.program_file("contents.db")
    expect(os.path.exists(catalogue), "no contents.db was made beside the program")
    expect(catalogue_rows(catalogue) == [], "the new contents.db is not empty")

    # The grid view, with the ten columns as built, 40 pixels each.
    w.wait_view(grid=True)
    grid = w.grid()
    headers = s.find_all("table column header", None, root=grid)
    titles = [h.name for h in headers]
    expect(titles == GRID_TITLES, f"the grid shows the columns {titles}, not {GRID_TITLES}")
    widths = [s.extents(h)[2] for h in headers]
    expect(widths == [40] * 10, f"the grid's columns are {widths} pixels wide, not 40 each")
    lefts = [s.extents(h)[0] for h in headers]
    expect(lefts == sorted(lefts), f"the column titles are not left to right: {lefts}")

    w.wait_status(0, "Record 0 of 0")
    w.wait_status(3, "contents")
    expect(w.status(1) == "", f"status panel 1 reads {w.status(1)!r} on a fresh start")

    view = w.open_menu("View")
    expect(checked(view["Grid"]) and not checked(view["Record"]),
           "View > Grid is not the checked view item in the grid view")
    w.shot("view-menu")
    w.close_menu()

    file_menu = w.open_menu("File")
    w.shot("file-menu")
    expect("Exit" in file_menu, f"the File menu has no Exit; it has {sorted(file_menu)}")
    w.close_menu()
    w.exit()

    # The empty catalogue is not kept; the settings still name it.
    leftovers = [n for n in os.listdir(s.program_dir) if n.lower().startswith("contents")]
    expect(not leftovers, f"the empty catalogue was not deleted at exit: {leftovers}")
    ini = s.read_ini()
    view = ini["View"]
    expect(view.get("TableName") == "contents.db", f"mox.ini names the table {view.get('TableName')!r}")
    expect(view.get("DatabaseName") == s.program_dir + os.sep,
           f"mox.ini names the folder {view.get('DatabaseName')!r}, not the program folder")
    expect(view.get("Grid") == "1", f"mox.ini stores Grid={view.get('Grid')!r} after a grid session")
    log("the first start wrote the defaults, made contents.db, and removed it empty at exit")


if __name__ == "__main__":
    moxe2e.main(scenario)
