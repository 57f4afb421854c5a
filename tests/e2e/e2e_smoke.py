"""The program starts in a real X server, shows its main window, and closes."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402


def scenario(s):
    s.start()
    app = s.app()
    frame = s.find("frame", "Moxarium", root=app)
    x, y = s.centre(frame)
    moxe2e.log(f"main window found by accessibility, centred at ({x}, {y})")

    window = s.window("Moxarium")
    s.screenshot("main-window")

    s.close_window(window)
    code = s.wait_exit(timeout=15)
    if code != 0:
        moxe2e.fail(f"the program exited with code {code} after its window was closed")
    ini = s.read_ini()
    moxe2e.log("mox.ini afterwards: " + (", ".join(ini.sections()) if ini else "none written"))


if __name__ == "__main__":
    moxe2e.main(scenario)
