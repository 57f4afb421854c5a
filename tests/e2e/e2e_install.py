"""The installed program: `cmake --install` into a prefix that is then made
read-only, started from there. Its first start writes mox.ini into the user's
configuration folder and opens contents.db in the user's data folder, touching
nothing in the installation; a record typed and a view chosen are there after a
restart. A portable copy started afterwards keeps its settings beside itself as
before and does not see the installed program's."""

import configparser
import os
import stat
import subprocess
import sys

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import moxe2e  # noqa: E402
from mainwindow import MainWindow, catalogue_rows, expect  # noqa: E402
from moxe2e import fail, log  # noqa: E402

RECORD = {"Archive": "gamma.zip", "Product": "Gamma Chart", "Type": "Unit", "Status": "Testing"}


def read_ini(path):
    expect(os.path.isfile(path), f"no mox.ini at {path}")
    parser = configparser.ConfigParser(interpolation=None, strict=False)
    parser.optionxform = str
    with open(path, encoding="latin-1") as f:
        parser.read_file(f)
    return parser


def listing(root):
    found = []
    for folder, _, files in os.walk(root):
        found += [os.path.relpath(os.path.join(folder, name), root) for name in files]
    return sorted(found)


def set_writable(root, writable):
    for folder, dirs, files in os.walk(root):
        for path in [folder] + [os.path.join(folder, n) for n in files]:
            mode = os.stat(path).st_mode
            mode = mode | stat.S_IWUSR if writable else mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH)
            os.chmod(path, mode)


def install(s, prefix):
    result = subprocess.run([os.environ["MOX_E2E_CMAKE"], "--install", os.environ["MOX_E2E_BUILD"],
                             "--prefix", prefix], capture_output=True, text=True, timeout=60)
    if result.returncode != 0:
        fail(f"cmake --install failed:\n{result.stdout}{result.stderr}")
    log(f"installed into {prefix}")


def installed_run(s, program, config_folder, data_folder):
    s.program = program
    s.start()
    w = MainWindow(s)
    w.wait_status(3, "contents")
    ini_path = os.path.join(config_folder, "mox.ini")
    ini = read_ini(ini_path)
    expect(ini["View"].get("DatabaseName") == data_folder + os.sep,
           f"mox.ini names the catalogue folder {ini['View'].get('DatabaseName')!r}, not {data_folder + os.sep!r}")
    for key in ("Archives", "Open", "SaveAs", "OpenBmp", "SaveBmp"):
        expect(ini["Paths"].get(key) == data_folder + os.sep,
               f"mox.ini has {key}={ini['Paths'].get(key)!r}, not the data folder")
    expect(os.path.isfile(os.path.join(data_folder, "contents.db")), "no contents.db in the user's data folder")
    return w


def scenario(s):
    root = s.root
    prefix = os.path.join(root, "installed", "usr")
    install(s, prefix)
    before = listing(prefix)
    set_writable(prefix, False)
    home = os.environ["HOME"]
    config_folder = os.path.join(os.environ["XDG_CONFIG_HOME"], "Moxarium")
    data_folder = os.path.join(os.environ["XDG_DATA_HOME"], "Moxarium")
    expect(not os.path.exists(config_folder) and not os.path.exists(data_folder),
           "the user's folders exist before the first start")
    try:
        # The first start: the defaults, in the user's folders.
        w = installed_run(s, os.path.join(prefix, "bin", "moxarium"), config_folder, data_folder)
        w.wait_view(grid=True)
        w.shot("installed-first-start")
        expect(w.status(1) == "", f"status panel 1 reads {w.status(1)!r} after the first start")
        s.keys("ctrl+r", window_id=w.window_id)
        w.wait_view(grid=False)
        w.fill_record(RECORD)
        w.wait_status(1, "Modified")
        w.press("Commit")
        w.wait_status(0, "Record 1 of 1")
        w.exit()
        ini = read_ini(os.path.join(config_folder, "mox.ini"))
        expect(ini["View"].get("Grid") == "0", f"mox.ini stores Grid={ini['View'].get('Grid')!r} after the record view")

        # The second start comes back as the first one ended.
        w = installed_run(s, os.path.join(prefix, "bin", "moxarium"), config_folder, data_folder)
        w.wait_view(grid=False)
        w.wait_status(0, "Record 1 of 1")
        w.shot("installed-restart")
        w.exit()
        rows = catalogue_rows(os.path.join(data_folder, "contents.db"))
        stored = [{k: r[k] for k in RECORD} for r in rows]
        expect(stored == [RECORD], f"the catalogue in the data folder holds {stored}, not {[RECORD]}")
        expect(sorted(os.listdir(config_folder)) == ["mox.ini"],
               f"the configuration folder holds {sorted(os.listdir(config_folder))}")
        after = listing(prefix)
        expect(after == before, f"the program wrote into its installation: {sorted(set(after) - set(before))}")
    finally:
        set_writable(prefix, True)

    # A portable copy keeps everything beside itself.
    s.program = os.path.join(s.program_dir, "moxarium")
    s.start()
    w = MainWindow(s)
    w.wait_view(grid=True)
    w.wait_status(3, "contents")
    w.exit()
    ini = s.read_ini()
    expect(ini is not None, "the portable copy wrote no mox.ini beside itself")
    expect(ini["View"].get("DatabaseName") == s.program_dir + os.sep,
           f"the portable copy's mox.ini names {ini['View'].get('DatabaseName')!r}, not its own folder")
    expect(ini["View"].get("Grid") == "1", "the portable copy took the installed program's settings")
    log(f"installed: settings in {config_folder}, catalogue in {data_folder}; portable copy beside itself"
        f" (HOME {home})")


if __name__ == "__main__":
    moxe2e.main(scenario)
