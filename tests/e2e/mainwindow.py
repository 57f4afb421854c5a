"""What the main-window scenarios share: reading the status bar, choosing menu
items, filling in the record page, pressing navigator buttons and answering the
program's boxes, all through the accessibility bus and a real mouse and keyboard.
"""

import os
import sqlite3
import time

import moxe2e
from moxe2e import fail, log, wait_until

GRID_TITLES = ["Archive", "Product", "Type", "Origin", "Status", "D1", "D2", "D3", "CB", "Source"]
COMBOS = ["Type", "Status"]
PANELS = {0: "Record position", 1: "Modified indicator", 2: "Hint", 3: "Catalogue name"}


def state_of(acc, state):
    try:
        return acc.getState().contains(state)
    except Exception:
        return False


def enabled(acc):
    import pyatspi
    return state_of(acc, pyatspi.STATE_SENSITIVE) and state_of(acc, pyatspi.STATE_ENABLED)


def showing(acc):
    import pyatspi
    return state_of(acc, pyatspi.STATE_SHOWING)


def checked(acc):
    import pyatspi
    return state_of(acc, pyatspi.STATE_CHECKED)


def text_of(acc):
    """The text a text box or combo box holds."""
    try:
        t = acc.queryText()
        return t.getText(0, t.characterCount)
    except NotImplementedError:
        pass
    # A combo box keeps its text in its edit part.
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None and child.getRoleName() == "text":
            return text_of(child)
    fail(f"{acc.getRoleName()} {acc.name!r} has no text")


class MainWindow:
    """The program's main window as a person sees it."""

    def __init__(self, session, timeout=10):
        self.s = session
        self.app = session.app()
        self.frame = session.find("frame", "Moxarium", root=self.app, timeout=timeout)
        self.window_id = session.window("Moxarium", timeout=timeout)
        self.statusbar = session.find("frame", "Status bar", root=self.frame)

    # -- looking -----------------------------------------------------------

    def find(self, role, name, timeout=10):
        return self.s.find(role, name, root=self.frame, timeout=timeout)

    def status(self, panel):
        """The text of status panel 0 to 3 (the panel's name is fixed, its text is
        what assistive technology reads as its description)."""
        label = self.s.find("label", PANELS[panel], root=self.statusbar)
        return label.description or ""

    def wait_status(self, panel, wanted, timeout=10):
        def matches():
            text = self.status(panel)
            return text == wanted if not callable(wanted) else wanted(text)
        try:
            wait_until(matches, timeout, f"status panel {panel} to read {wanted!r}")
        except moxe2e.E2EFailure:
            fail(f"status panel {panel} reads {self.status(panel)!r}, not {wanted!r}")

    def grid(self):
        return self.find("table", "Grid")

    def record_page(self):
        return self.find("frame", "Record")

    def grid_showing(self):
        return bool(self.s.find_all("table", "Grid", root=self.frame))

    def record_showing(self):
        return bool(self.s.find_all("frame", "Record", root=self.frame))

    def wait_view(self, grid, timeout=10):
        what = "the grid view" if grid else "the record view"
        wait_until(lambda: self.grid_showing() == grid and self.record_showing() != grid, timeout,
                   f"{what} to show")

    def shot(self, name):
        self.s.settle()
        # Numbered across the program's runs, so the files sort in the order taken.
        count = getattr(self.s, "shots_taken", 0) + 1
        self.s.shots_taken = count
        return self.s.screenshot(f"{count:02d}-{name}")

    # -- menus -------------------------------------------------------------

    def open_menu(self, title):
        """Clicks a menu title in the menu bar; returns the menu's items by name."""
        bar = self.s.find("menu bar", None, root=self.frame)
        entry = self.s.find("menu item", title, root=bar)
        click(self.s, entry)

        def items():
            found = _shown_menu_items(entry)
            return {item.name: item for item in found} if found else None

        return wait_until(items, 10, f"the {title} menu to open")

    def close_menu(self):
        self.s.keys("Escape")
        wait_until(lambda: not self._open_popups(), 10, "the menu to close")

    def close_menus(self):
        """Closes a submenu and the menu it hangs from."""
        def shown():
            return [p for p in self._open_popups() if showing(p)]
        for _ in range(3):
            if not shown():
                return
            self.s.keys("Escape")
            self.s.settle()
        wait_until(lambda: not shown(), 10, "the menus to close")

    def _open_popups(self):
        return [p for p in self.s.find_all("popup menu", None, root=self.frame)]

    def choose(self, title, item):
        """Chooses a menu item with the mouse, as a person would."""
        items = self.open_menu(title)
        if item not in items:
            fail(f"the {title} menu has no item {item!r}; it has {sorted(items)}")
        if not enabled(items[item]):
            fail(f"{title} > {item} is disabled")
        click(self.s, items[item])

    def menu_states(self, title):
        """{item name: enabled} of a menu, read while it is open; the menu stays open."""
        items = self.open_menu(title)
        return {name: enabled(acc) for name, acc in items.items()}

    # -- record page -------------------------------------------------------

    def combo(self, name):
        """The Type or Status box. On this platform Qt names a combo box after the
        text it holds, not after its accessible name, so the two are told apart by
        their place in the Description group: Type above Status."""
        description = self.find("panel", "Description")
        boxes = wait_until(lambda: sorted(self.s.find_all("combo box", None, root=description),
                                          key=lambda b: self.s.extents(b)[1]) or None,
                           10, "the combo boxes of the record page")
        expect(len(boxes) == 2, f"the Description group holds {len(boxes)} combo boxes, not 2")
        return boxes[COMBOS.index(name)]

    def box(self, name, role="text"):
        return self.combo(name) if role == "combo box" else self.find(role, name)

    def fill(self, name, text, role="text"):
        """Clicks into a box of the record page, replaces its text and checks it."""
        box = self.box(name, role)
        target = box
        if role == "combo box":
            # The text part of the box, not its drop-down button.
            target = self.s.find("text", None, root=box)
        click(self.s, target)
        wait_until(lambda: state_of(target, _focused()), 5, f"the {name} box to take the focus")
        self.s.keys("End", "shift+Home", "BackSpace")
        if text:
            self.s.type_text(text)
        wait_until(lambda: text_of(box) == text, 5,
                   f"the {name} box to show {text!r} (it shows {text_of(box)!r})")
        return box

    def fill_record(self, record):
        """Types a record's Archive, Product, Type and Status into the record page."""
        for name in ("Archive", "Product"):
            self.fill(name, record[name])
        for name in COMBOS:
            self.fill(name, record[name], role="combo box")

    def navigator(self, button):
        nav = self.find("filler", "Record navigator")
        return self.s.find("push button", button, root=nav)

    def press(self, button):
        """Clicks a navigator button; it must be enabled."""
        b = self.navigator(button)
        wait_until(lambda: enabled(b), 5, f"the navigator's {button} button to be enabled")
        click(self.s, b)

    # -- the program's boxes -----------------------------------------------

    def message_box(self, caption, timeout=10):
        """The message box with that caption: (box, its text)."""
        def find():
            for role in ("alert", "dialog"):
                for box in self.s.find_all(role, caption, root=self.app):
                    return box
            return None
        box = wait_until(find, timeout, f"a message box captioned {caption!r}")
        labels = [l.name for l in self.s.find_all("label", None, root=box) if l.name]
        return box, "\n".join(labels)

    def answer(self, box, button):
        b = self.s.find("push button", button, root=box)
        click(self.s, b)
        wait_until(lambda: not showing(box) or box.getRoleName() == "", 10,
                   f"the box to close after {button}")
        # There is no window manager to hand the focus back to the main window.
        self.s.focus(self.window_id)

    def file_dialog(self, title, path, timeout=10):
        """Answers the program's open or save dialog with a whole path typed into
        its file-name box, as a person who knows where the file is would."""
        dialog = self.s.find("dialog", title, root=self.app, timeout=timeout)
        name_box = self.s.find("text", "File name:", root=dialog)
        # With no window manager the dialog gets the keyboard by a click.
        click(self.s, name_box)
        wait_until(lambda: state_of(name_box, _focused()), 5, "the file-name box to take the focus")
        self.s.keys("ctrl+a")
        self.s.type_text(path)
        wait_until(lambda: text_of(name_box) == path, 5,
                   f"the file-name box to show {path!r} (it shows {text_of(name_box)!r})")
        self.s.keys("Return")

        def closed():
            # The dialog is kept for the next use, only hidden.
            return not any(showing(d) for d in self.s.find_all("dialog", title, root=self.app))
        try:
            wait_until(closed, 2, f"the {title!r} dialog to close")
        except moxe2e.E2EFailure:
            # The first Return may only have closed the file-name completer.
            if not closed():
                self.s.keys("Return")
            wait_until(closed, timeout, f"the {title!r} dialog to close")

    def confirm_create(self, title, path):
        """Says Yes when the save dialog asks whether a new file is to be made."""
        box, text = self.message_box(title)
        expect(text == f"{path}\nThis file does not exist.\nDo you want to create it?",
               f"the save dialog asks {text!r} before making {path}")
        self.shot("create-prompt")
        self.answer(box, "Yes")

    def reopen_items(self):
        """The entries of File > Reopen, top to bottom, as their captions read."""
        items = self.open_menu("File")
        reopen = items.get("Reopen")
        expect(reopen is not None, f"the File menu has no Reopen item; it has {sorted(items)}")
        click(self.s, reopen)

        return wait_until(lambda: _shown_menu_items(reopen), 10, "the Reopen menu to open")

    # -- leaving -----------------------------------------------------------

    def exit(self, timeout=15):
        """File > Exit; the program must end cleanly."""
        self.choose("File", "Exit")
        code = self.s.wait_exit(timeout=timeout)
        if code != 0:
            fail(f"the program exited with code {code} after File > Exit")


def mouse_location():
    out = moxe2e.run_tool(["xdotool", "getmouselocation", "--shell"]).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(values.get("X", -1)), int(values.get("Y", -1))


def click(session, acc, button=1, double=False):
    """Session.click, safe when the mouse already rests on the spot: xdotool's
    synchronous move waits for a motion that never comes there."""
    x, y = session.centre(acc)
    if mouse_location() != (x, y):
        session.mouse_move(x, y)
    session.mouse_click(button, double)


def _shown_menu_items(entry):
    """The items of the popup that hangs from a menu entry, top to bottom, once the
    popup and all its items are showing; None before."""
    popup = [c for c in (entry.getChildAtIndex(i) for i in range(entry.childCount))
             if c is not None and c.getRoleName() == "popup menu" and showing(c)]
    if not popup:
        return None
    found = [popup[0].getChildAtIndex(i) for i in range(popup[0].childCount)]
    found = [f for f in found if f is not None and f.getRoleName() == "menu item"]
    return found if found and all(showing(f) for f in found) else None


def _focused():
    import pyatspi
    return pyatspi.STATE_FOCUSED


def catalogue_rows(path):
    """Every record of a catalogue file as dicts, in key order, read with sqlite3."""
    if not os.path.exists(path):
        fail(f"the catalogue {path} does not exist")
    con = sqlite3.connect(f"file:{path}?mode=ro", uri=True, timeout=5)
    try:
        con.row_factory = sqlite3.Row
        rows = con.execute("SELECT * FROM catalogue ORDER BY Archive, Product, Type").fetchall()
        return [dict(r) for r in rows]
    finally:
        con.close()


def expect(condition, reason):
    if not condition:
        fail(reason)


SKIP_CODE = 77  # ctest reports the scenario as skipped (SKIP_RETURN_CODE)


def skip(reason):
    """Ends a scenario that waits for a fix in the program, saying why; the
    program is still stopped and its files kept by the harness."""
    log(f"SKIPPED: {reason}")
    raise SystemExit(SKIP_CODE)
