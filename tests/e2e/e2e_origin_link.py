"""A double click on the Origin box opens the address in a browser, on a real X
display with browsers of our own: scripts on PATH that record their arguments, and
helper windows carrying each browser line's WM_CLASS. A running Mozilla-line browser
comes first, then a Chromium-line one, then the desktop's opener; a browser that
fails gives way to the next; leading blanks reach the browser; a minimised browser
window is shown again; blanks only, a local file, a program's path and an option
never start anything."""

import os
import stat
import sys
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from helperwindow import HelperWindow  # noqa: E402
from mainwindow import MainWindow, click, expect, text_of  # noqa: E402
from moxe2e import log, run_tool, wait_until  # noqa: E402

FAKES = ["firefox", "chromium", "xdg-open", "xterm"]
SCRIPT = """#!/bin/sh
{{ printf 'call'; for a in "$@"; do printf ' [%s]' "$a"; done; printf '\\n'; }} >> "{log}"
[ -e "{fail}" ] && exit 1
exit 0
"""


class FakeBrowsers:
    def __init__(self, root):
        self.bin = os.path.join(root, "fake-bin")
        os.makedirs(self.bin)
        for name in FAKES:
            path = os.path.join(self.bin, name)
            with open(path, "w") as f:
                f.write(SCRIPT.format(log=self.log(name), fail=self.fail_flag(name)))
            os.chmod(path, os.stat(path).st_mode | stat.S_IXUSR | stat.S_IXGRP | stat.S_IXOTH)

    def log(self, name):
        return os.path.join(self.bin, name + ".log")

    def fail_flag(self, name):
        return os.path.join(self.bin, name + ".fail")

    def fail(self, name):
        open(self.fail_flag(name), "w").close()

    def calls(self):
        found = {}
        for name in FAKES:
            if os.path.exists(self.log(name)):
                with open(self.log(name)) as f:
                    found[name] = [line.rstrip("\n") for line in f]
        return found

    def clear(self):
        for name in FAKES:
            if os.path.exists(self.log(name)):
                os.remove(self.log(name))


def scenario(s):
    fakes = FakeBrowsers(s.root)
    s.write_ini("[View]\r\nWindowPosition=0,0,640,480\r\nWindowState=1\r\nGrid=0\r\n"
                "[TypeDefs]\r\nType0=Unit\r\n[StatusDefs]\r\nStatus0=In use\r\n")
    s.start(extra_env={"PATH": fakes.bin + os.pathsep + os.environ.get("PATH", "")})
    w = MainWindow(s)
    w.wait_view(grid=False)
    w.fill("Archive", "links.zip")
    w.fill("Product", "Links")
    w.fill("Type", "Unit", role="combo box")
    w.fill("Status", "In use", role="combo box")
    helpers = []
    try:
        run(s, w, fakes, helpers)
    finally:
        for h in helpers:
            h.close()


def run(s, w, fakes, helpers):
    origin = w.find("text", "Origin")

    def fill_origin(text):
        # Typed after "--", so a text that starts with "-" is no option of xdotool's.
        click(s, origin)
        s.keys("End", "shift+Home", "BackSpace")
        if text:
            run_tool(["xdotool", "type", "--delay", "20", "--", text])
        wait_until(lambda: text_of(origin) == text, 5, f"the Origin box to show {text!r}")

    def launch(text, expected, what):
        fakes.clear()
        fill_origin(text)
        click(s, origin, double=True)
        if expected:
            wait_until(lambda: fakes.calls() == expected, 15,
                       f"{what}: the calls {expected} (so far {fakes.calls()})")
        else:
            time.sleep(1.5)
            expect(fakes.calls() == {}, f"{what}: started {fakes.calls()}")
        log(f"{what}: {fakes.calls() or 'nothing started'}")

    never = ["file:///etc/passwd", "/usr/bin/xterm", "-P default"]

    launch("http://example.com/a.zip", {"xdg-open": ["call [http://example.com/a.zip]"]},
           "no browser running: the opener, unchanged")
    launch("www.example.com", {"xdg-open": ["call [http://www.example.com]"]},
           "no browser, no scheme: the opener gets http")
    launch("    ", {}, "blanks only")
    for text in never:
        launch(text, {}, f"no browser, {text!r}")

    firefox = HelperWindow((700, 500, 120, 80), wm_class=("Navigator", "firefox"), iconic=True)
    helpers.append(firefox)
    launch("  www.example.org", {"firefox": ["call [--new-tab] [  www.example.org]"]},
           "a minimised Firefox, leading blanks")
    expect(firefox.read_line(5) == "mapped", "the minimised browser window was not shown again")
    w.shot("firefox-window-shown")

    helpers.append(HelperWindow((840, 500, 120, 80), wm_class=("chromium", "Chromium")))
    fakes.fail("firefox")
    launch("http://a.org/x", {"firefox": ["call [--new-tab] [http://a.org/x]"],
                              "chromium": ["call [http://a.org/x]"]},
           "Firefox fails: Chromium")
    fakes.fail("chromium")
    launch("http://a.org/x", {"firefox": ["call [--new-tab] [http://a.org/x]"],
                              "chromium": ["call [http://a.org/x]"],
                              "xdg-open": ["call [http://a.org/x]"]},
           "both fail: the opener")
    for text in never:
        launch(text, {}, f"browsers running, {text!r}")

    fill_origin("www.example.com")
    w.press("Commit")
    w.wait_status(1, "")
    w.exit()


if __name__ == "__main__":
    moxe2e.main(scenario)
