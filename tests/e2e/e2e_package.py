"""The program installed from the .deb, started once as a user would: the
window shows, File > Exit writes the settings into the user's configuration
folder, and nothing is written beside the installed program. Run by
scripts/check-package.sh with --program /usr/bin/moxarium once the package is
installed; ctest does not run it, since it needs the package on the machine."""

import os
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, expect  # noqa: E402
from moxe2e import log  # noqa: E402


def scenario(s):
    program = os.environ["MOX_E2E_PROGRAM"]
    program_dir = os.path.dirname(program)
    before = sorted(os.listdir(program_dir))
    config = os.path.join(os.environ["XDG_CONFIG_HOME"], "Moxarium", "mox.ini")
    data = os.path.join(os.environ["XDG_DATA_HOME"], "Moxarium")

    s.program = program
    s.start()
    w = MainWindow(s)
    w.wait_view(grid=True)
    w.wait_status(3, "contents")
    w.shot("installed-package")
    expect(os.path.isfile(os.path.join(data, "contents.db")), f"no contents.db in {data}")
    w.exit()

    expect(os.path.isfile(config), f"the installed program wrote no settings at {config}")
    with open(config, encoding="latin-1") as f:
        text = f.read()
    expect(f"DatabaseName={data}{os.sep}" in text, f"{config} does not name the data folder {data}:\n{text}")
    after = sorted(os.listdir(program_dir))
    expect(after == before, f"the program wrote beside itself in {program_dir}: {sorted(set(after) - set(before))}")
    log(f"the installed program showed its window and wrote {config}")


if __name__ == "__main__":
    moxe2e.main(scenario)
