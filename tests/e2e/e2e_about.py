"""Help > About MOX... in the program itself opens the About box modally over the
main window; it rolls its credits on Alt with a double click on the picture and
closes with OK, and the program goes on."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow  # noqa: E402
from moxe2e import fail  # noqa: E402


def scenario(s):
    s.start()
    app = s.app()
    w = MainWindow(s)
    main = w.frame
    w.choose("Help", "About MOX...")
    box = s.find("dialog", "Velora", root=app)
    s.settle()
    s.screenshot("about-box")

    # Centred over the main window by its frame, the halving truncated.
    mx, my, mw, mh = s.extents(main)
    bx, by, bw, bh = s.extents(box)
    moxe2e.log(f"main window at {mx},{my} {mw}x{mh}; box at {bx},{by} {bw}x{bh}")
    if (bw, bh) != (282, 258):
        fail(f"the About box is {bw}x{bh}, not 282x258")
    if abs(bx - (mx + (mw - bw) // 2)) > 1 or abs(by - (my + (mh - bh) // 2)) > 1:
        fail("the About box is not centred over the main window")

    for text in ("Moxarium", "Version 1.0", "moxarium@example.invalid"):
        if not s.find_all(name=text, root=box):
            fail(f"the About box does not show {text!r}; it shows:\n{s.tree(box)}")

    # Alt with a double click on the picture starts the credits over it.
    picture = s.find(name="Picture", root=box)
    s.mouse_move(*s.centre(picture))
    s.key_down("alt")
    try:
        s.mouse_click(double=True)
    finally:
        s.key_up("alt")
    s.find(name="Credits", root=box)
    s.settle(1.5)
    s.screenshot("about-credits")

    ok = s.find("push button", "OK", root=box)
    s.click(ok)
    moxe2e.wait_until(lambda: not s.find_all("dialog", "Velora", root=app), 10,
                      "the About box to close after OK")

    # The main window works on after the box.
    w.wait_status(3, "contents")
    w.exit()


if __name__ == "__main__":
    moxe2e.main(scenario)
