"""Drive the real Moxarium program in a private X server, as a person would.

A scenario is a function that takes a Session. Its script ends with

    if __name__ == "__main__":
        moxe2e.main(scenario)

and is run by ctest as
    /usr/bin/python3 scenario.py --program PATH --artifacts DIR [--timeout S]

main() first builds a private world in a temporary folder (HOME and the XDG
folders, a fresh program folder with a copy of the program, an Xvfb server),
then runs itself again inside dbus-run-session, where the scenario talks to the
program through the accessibility bus (pyatspi), xdotool and ImageMagick.
Everything started is killed on every path; every wait has a time limit.
"""

import argparse
import configparser
import ctypes
import ctypes.util
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

XVFB_SCREEN = "1024x768x24"
INNER_FLAG = "MOX_E2E_INNER"


class E2EFailure(Exception):
    """A scenario step failed; the message says what a person would have seen."""


def fail(reason):
    raise E2EFailure(reason)


def log(message):
    print(f"[e2e] {message}", flush=True)


# ---------------------------------------------------------------------------
# Process helpers


def _kill_group(proc, name, grace=5.0):
    """Ends proc and everything in its process group, politely first."""
    if proc is None:
        return
    try:
        pgid = os.getpgid(proc.pid)
    except ProcessLookupError:
        pgid = None
    for sig, wait in ((signal.SIGTERM, grace), (signal.SIGKILL, grace)):
        if pgid is not None:
            try:
                os.killpg(pgid, sig)
            except ProcessLookupError:
                pass
        elif proc.poll() is None:
            proc.send_signal(sig)
        try:
            proc.wait(timeout=wait)
            if pgid is None or not _group_alive(pgid):
                return
        except subprocess.TimeoutExpired:
            pass
    if proc.poll() is None:
        log(f"warning: {name} (pid {proc.pid}) did not end even after SIGKILL")


def _group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


def run_tool(args, timeout=15, check=True, env=None):
    """Runs a short helper command; never waits longer than timeout."""
    try:
        result = subprocess.run(args, capture_output=True, text=True, timeout=timeout, env=env)
    except FileNotFoundError:
        fail(f"the tool {args[0]} is not installed")
    except subprocess.TimeoutExpired:
        fail(f"{' '.join(args)} did not finish within {timeout} s")
    if check and result.returncode != 0:
        fail(f"{' '.join(args)} failed with exit code {result.returncode}: {result.stderr.strip()}")
    return result


def wait_until(predicate, timeout, what, interval=0.1):
    """Polls predicate until it returns something truthy; fails saying what was awaited."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = predicate()
            if value:
                return value
        except E2EFailure:
            raise
        except Exception as error:  # accessibility calls fail while windows come and go
            last_error = error
        if time.monotonic() >= deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            fail(f"timed out after {timeout} s waiting for {what}{detail}")
        time.sleep(interval)


# ---------------------------------------------------------------------------
# The outer run: private folders, X server, then the inner run under D-Bus


def _start_xvfb(log_path):
    read_end, write_end = os.pipe()
    log_file = open(log_path, "wb")
    try:
        proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", XVFB_SCREEN,
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), stdout=log_file, stderr=subprocess.STDOUT,
            start_new_session=True)
    except FileNotFoundError:
        fail("Xvfb is not installed (Debian package xvfb)")
    finally:
        os.close(write_end)
        log_file.close()
    data = b""
    deadline = time.monotonic() + 20
    try:
        while not data.endswith(b"\n"):
            remaining = deadline - time.monotonic()
            if remaining <= 0 or proc.poll() is not None:
                break
            ready, _, _ = select.select([read_end], [], [], remaining)
            if not ready:
                break
            chunk = os.read(read_end, 64)
            if not chunk:
                break
            data += chunk
    finally:
        os.close(read_end)
    if not data.strip().isdigit():
        _kill_group(proc, "Xvfb")
        with open(log_path, errors="replace") as f:
            fail(f"Xvfb did not report a display number; its output:\n{f.read()}")
    return proc, ":" + data.strip().decode()


def _private_env(root, display):
    env = {key: value for key, value in os.environ.items()
           if not key.startswith(("XDG_", "DBUS_", "AT_SPI", "QT_", "WAYLAND"))}
    home = os.path.join(root, "home")
    runtime = os.path.join(root, "runtime")
    env.update({
        "HOME": home,
        "XDG_CONFIG_HOME": os.path.join(home, ".config"),
        "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
        "XDG_CACHE_HOME": os.path.join(home, ".cache"),
        "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
        "XDG_RUNTIME_DIR": runtime,
        "TMPDIR": os.path.join(root, "tmp"),
        "DISPLAY": display,
        "NO_AT_BRIDGE": "0",
        "PYTHONDONTWRITEBYTECODE": "1",
    })
    for key in ("XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME", "TMPDIR"):
        os.makedirs(env[key], exist_ok=True)
    os.makedirs(runtime, mode=0o700, exist_ok=True)
    os.chmod(runtime, 0o700)
    return env


def _outer(args, script):
    program = os.path.abspath(args.program)
    if not os.access(program, os.X_OK):
        fail(f"the program {program} does not exist or is not executable; build it first")
    scenario_name = os.path.splitext(os.path.basename(script))[0]
    artifacts = os.path.join(os.path.abspath(args.artifacts), scenario_name)
    shutil.rmtree(artifacts, ignore_errors=True)
    os.makedirs(artifacts)

    root = tempfile.mkdtemp(prefix="mox-e2e-")
    xvfb = inner = None
    try:
        xvfb, display = _start_xvfb(os.path.join(artifacts, "xvfb.log"))
        log(f"Xvfb runs on display {display}; artefacts in {artifacts}")
        env = _private_env(root, display)
        env.update({
            INNER_FLAG: "1",
            "MOX_E2E_ROOT": root,
            "MOX_E2E_PROGRAM": program,
            "MOX_E2E_ARTIFACTS": artifacts,
            "MOX_E2E_TIMEOUT": str(args.timeout),
        })
        command = ["dbus-run-session", "--", sys.executable, os.path.abspath(script)]
        inner = subprocess.Popen(command, env=env, cwd=root, start_new_session=True)
        try:
            # The inner run has its own alarm; this is the backstop.
            code = inner.wait(timeout=args.timeout + 30)
        except subprocess.TimeoutExpired:
            log(f"FAIL: the scenario did not end within {args.timeout + 30} s; killing it")
            code = 124
        return code
    except FileNotFoundError as error:
        log(f"FAIL: {error.filename} is not installed")
        return 1
    finally:
        _kill_group(inner, "the scenario")
        _kill_group(xvfb, "Xvfb")
        shutil.rmtree(root, ignore_errors=True)


# ---------------------------------------------------------------------------
# X11 helpers that need no window manager


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("l", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]


def _send_delete_window(window_id):
    """What a window manager sends when the user clicks the close box."""
    path = ctypes.util.find_library("X11")
    if not path:
        fail("libX11 is missing, so the window cannot be asked to close")
    xlib = ctypes.CDLL(path)
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    xlib.XInternAtom.restype = ctypes.c_ulong
    xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    xlib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                ctypes.POINTER(_XEvent)]
    xlib.XFlush.argtypes = [ctypes.c_void_p]
    xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        fail(f"cannot open the X display {os.environ.get('DISPLAY')}")
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window_id
        event.xclient.message_type = xlib.XInternAtom(display, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.l[0] = xlib.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
        event.xclient.l[1] = 0  # CurrentTime
        if not xlib.XSendEvent(display, window_id, 0, 0, ctypes.byref(event)):
            fail(f"the X server refused the close request for window {window_id:#x}")
        xlib.XFlush(display)
    finally:
        xlib.XCloseDisplay(display)


# ---------------------------------------------------------------------------
# The inner run: one program under test


class Session:
    """One run of the program in a fresh program folder."""

    def __init__(self):
        self.root = os.environ["MOX_E2E_ROOT"]
        self.artifacts = os.environ["MOX_E2E_ARTIFACTS"]
        self.program_dir = os.path.join(self.root, "program")
        os.makedirs(self.program_dir, exist_ok=True)
        self.program = os.path.join(self.program_dir, "moxarium")
        shutil.copy2(os.environ["MOX_E2E_PROGRAM"], self.program)
        self.proc = None
        self.runs = 0
        self._a11y_bus = None
        self._log_file = None

    # -- the program -------------------------------------------------------

    @property
    def ini_path(self):
        return os.path.join(self.program_dir, "mox.ini")

    def start(self, extra_env=None):
        """Starts the program; a scenario may start it again after it has ended."""
        if self.proc is not None and self.proc.poll() is None:
            fail("the program is still running; end it before starting it again")
        self.runs += 1
        env = dict(os.environ)
        env.pop(INNER_FLAG, None)
        env.update({"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", "QT_ACCESSIBILITY": "1",
                    "QT_QPA_PLATFORM": "xcb"})
        env.update(extra_env or {})
        log_path = os.path.join(self.artifacts, f"program-run{self.runs}.log")
        self._log_file = open(log_path, "wb")
        self.proc = subprocess.Popen([self.program], cwd=self.root, env=env,
                                     stdout=self._log_file, stderr=subprocess.STDOUT)
        log(f"started {self.program} (pid {self.proc.pid})")
        return self.proc

    def program_output(self):
        path = os.path.join(self.artifacts, f"program-run{self.runs}.log")
        try:
            with open(path, errors="replace") as f:
                return f.read()
        except OSError:
            return ""

    def wait_exit(self, timeout=15):
        """Waits for the program to end by itself and returns its exit code."""
        if self.proc is None:
            fail("the program was never started")
        try:
            code = self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            fail(f"the program did not exit within {timeout} s")
        self._close_log()
        return code

    def stop(self):
        """Ends the program whatever state it is in."""
        if self.proc is not None and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=5)
        self._close_log()

    def _close_log(self):
        if self._log_file:
            self._log_file.close()
            self._log_file = None

    def read_ini(self):
        """mox.ini as the program left it, or None when it wrote none."""
        if not os.path.exists(self.ini_path):
            return None
        parser = configparser.ConfigParser(interpolation=None, strict=False)
        parser.optionxform = str  # keys keep their case
        with open(self.ini_path, encoding="latin-1") as f:
            parser.read_file(f)
        return parser

    def write_ini(self, text):
        """Puts a mox.ini into the program folder before a start."""
        with open(self.ini_path, "w", encoding="latin-1", newline="\r\n") as f:
            f.write(text)

    def program_file(self, name):
        return os.path.join(self.program_dir, name)

    # -- accessibility -----------------------------------------------------

    def app(self, timeout=20):
        """The program's accessible application, once it has registered."""
        import pyatspi

        def find():
            if self.proc is not None and self.proc.poll() is not None:
                fail(f"the program ended with exit code {self.proc.returncode} before it "
                     f"showed up on the accessibility bus; its output:\n{self.program_output()}")
            desktop = pyatspi.Registry.getDesktop(0)
            for i in range(desktop.childCount):
                candidate = desktop.getChildAtIndex(i)
                if candidate is not None and candidate.get_process_id() == self.proc.pid:
                    return candidate
            return None

        return wait_until(find, timeout, "the program on the accessibility bus")

    @staticmethod
    def _matches(acc, role, name):
        if role is not None:
            wanted = role if isinstance(role, str) else None
            if wanted is not None:
                if acc.getRoleName() != wanted:
                    return False
            elif acc.getRole() != role:
                return False
        if name is not None:
            if callable(name):
                return bool(name(acc.name or ""))
            return (acc.name or "") == name
        return True

    def find_all(self, role=None, name=None, root=None):
        """Every showing accessible below root with that role and name.

        role is a pyatspi role constant or its name ("push button"); name a
        string to equal or a predicate on the accessible name."""
        import pyatspi
        root = root or self.app()
        found = []
        queue = [root]
        while queue:
            node = queue.pop(0)
            try:
                count = node.childCount
            except Exception:
                continue
            for i in range(count):
                try:
                    child = node.getChildAtIndex(i)
                except Exception:
                    continue
                if child is None:
                    continue
                try:
                    if self._matches(child, role, name) and \
                            child.getState().contains(pyatspi.STATE_SHOWING):
                        found.append(child)
                except Exception:
                    continue
                queue.append(child)
        return found

    def find(self, role=None, name=None, root=None, timeout=10):
        """The first showing accessible with that role and name, waiting for it."""
        what = f"a {role if isinstance(role, str) else role} named {name!r}"
        return wait_until(lambda: (self.find_all(role, name, root) or [None])[0], timeout, what)

    def tree(self, root=None, depth=0, limit=12):
        """The accessible tree as text, for failure reports."""
        root = root or self.app(timeout=2)
        lines = []
        try:
            extents = root.queryComponent().getExtents(0)
            where = f" @({extents.x},{extents.y} {extents.width}x{extents.height})"
        except Exception:
            where = ""
        lines.append(f"{'  ' * depth}[{root.getRoleName()}] {root.name!r}{where}")
        if depth < limit:
            for i in range(root.childCount):
                child = root.getChildAtIndex(i)
                if child is not None:
                    lines.append(self.tree(child, depth + 1, limit))
        return "\n".join(lines)

    def centre(self, acc):
        """The screen position of an accessible's middle."""
        extents = acc.queryComponent().getExtents(0)  # 0: desktop coordinates
        if extents.width <= 0 or extents.height <= 0:
            fail(f"{acc.getRoleName()} {acc.name!r} has no area on the screen")
        return extents.x + extents.width // 2, extents.y + extents.height // 2

    def actions(self, acc):
        action = acc.queryAction()
        return [action.getName(i) for i in range(action.nActions)]

    def do_action(self, acc, action_name=None):
        """Runs an accessible action without waiting for its answer.

        An action whose handler opens a modal dialog answers only when the
        dialog closes, so the request goes out with NO_REPLY_EXPECTED."""
        from gi.repository import Gio, GLib
        names = self.actions(acc)
        if not names:
            fail(f"{acc.getRoleName()} {acc.name!r} offers no action")
        index = 0 if action_name is None else (names.index(action_name) if action_name in names
                                               else -1)
        if index < 0:
            fail(f"{acc.getRoleName()} {acc.name!r} has no action {action_name!r}; it has {names}")
        message = Gio.DBusMessage.new_method_call(acc.app.bus_name, acc.path,
                                                  "org.a11y.atspi.Action", "DoAction")
        message.set_body(GLib.Variant("(i)", (index,)))
        message.set_flags(Gio.DBusMessageFlags.NO_REPLY_EXPECTED)
        bus = self._accessibility_bus()
        bus.send_message(message, Gio.DBusSendMessageFlags.NONE)
        bus.flush_sync(None)

    def _accessibility_bus(self):
        if self._a11y_bus is None:
            from gi.repository import Gio
            session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
            reply = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus",
                                      "GetAddress", None, None, Gio.DBusCallFlags.NONE, 5000, None)
            address = reply.unpack()[0]
            flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
                     | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
            self._a11y_bus = Gio.DBusConnection.new_for_address_sync(address, flags, None, None)
        return self._a11y_bus

    # -- mouse, keys, windows ----------------------------------------------

    def extents(self, acc):
        """(x, y, width, height) of an accessible on the screen."""
        e = acc.queryComponent().getExtents(0)
        return e.x, e.y, e.width, e.height

    def click(self, acc, button=1, double=False):
        """Moves the mouse to the middle of acc and clicks, as a person would."""
        self.mouse_move(*self.centre(acc))
        self.mouse_click(button, double)

    def mouse_move(self, x, y):
        run_tool(["xdotool", "mousemove", "--sync", str(x), str(y)])

    def mouse_click(self, button=1, double=False):
        run_tool(["xdotool", "click", "--repeat", "2" if double else "1", "--delay", "80",
                  str(button)])

    def key_down(self, key):
        """Holds a key (say "alt") until key_up; for clicks with a modifier."""
        run_tool(["xdotool", "keydown", key])

    def key_up(self, key):
        run_tool(["xdotool", "keyup", key])

    @staticmethod
    def settle(seconds=0.3):
        """Gives the program time to repaint before a screenshot."""
        time.sleep(seconds)

    def window_ids(self, name=None):
        """X windows of the program that are mapped, optionally with that exact title."""
        args = ["xdotool", "search", "--onlyvisible", "--pid", str(self.proc.pid)]
        if name is not None:
            args += ["--name", f"^{name}$"]
        result = run_tool(args, check=False)
        return [int(line) for line in result.stdout.split() if line.strip().isdigit()]

    def window(self, name, timeout=10):
        return wait_until(lambda: (self.window_ids(name) or [None])[0], timeout,
                          f"a window titled {name!r}")

    def focus(self, window_id):
        run_tool(["xdotool", "windowfocus", str(window_id)])

    def keys(self, *keys, window_id=None):
        """Presses keys (xdotool names: "ctrl+s", "Return", "alt+y") in the focused window."""
        if window_id is not None:
            self.focus(window_id)
        run_tool(["xdotool", "key", "--clearmodifiers", "--delay", "40", *keys])

    def type_text(self, text, window_id=None):
        if window_id is not None:
            self.focus(window_id)
        run_tool(["xdotool", "type", "--delay", "20", text])

    def close_window(self, window_id):
        """Asks the window to close, as its close box would."""
        _send_delete_window(window_id)

    def screenshot(self, name):
        """The whole screen as artefacts/<name>.png; returns the path."""
        path = os.path.join(self.artifacts, f"{name}.png")
        run_tool(["import", "-window", "root", path], timeout=30)
        if not os.path.exists(path) or os.path.getsize(path) == 0:
            fail(f"the screenshot {path} was not written")
        log(f"screenshot {path}")
        return path


def _inner(scenario):
    timeout = float(os.environ.get("MOX_E2E_TIMEOUT", "120"))

    def on_alarm(signum, frame):
        raise E2EFailure(f"the scenario ran longer than its {timeout:.0f} s limit")

    signal.signal(signal.SIGALRM, on_alarm)
    signal.alarm(int(timeout))
    session = Session()
    try:
        scenario(session)
        log("PASS")
        return 0
    except E2EFailure as failure:
        log(f"FAIL: {failure}")
        _report_failure(session)
        return 1
    except Exception:
        log("FAIL: the scenario raised an unexpected error:\n" + traceback.format_exc())
        _report_failure(session)
        return 1
    finally:
        signal.alarm(0)
        session.stop()
        # Keep what the program left behind for a person to look at.
        for name in os.listdir(session.program_dir):
            if name != "moxarium":
                shutil.copy2(os.path.join(session.program_dir, name), session.artifacts)


def _report_failure(session):
    signal.alarm(30)
    try:
        session.screenshot("failure")
    except Exception as error:
        log(f"(no failure screenshot: {error})")
    if session.proc is not None and session.proc.poll() is None:
        try:
            tree = session.tree()
            with open(os.path.join(session.artifacts, "accessible-tree.txt"), "w") as f:
                f.write(tree + "\n")
            log("accessible tree of the program:\n" + tree)
        except Exception as error:
            log(f"(no accessible tree: {error})")
    output = session.program_output().strip()
    if output:
        log("program output:\n" + output[-4000:])
    signal.alarm(0)


def main(scenario):
    """Entry point of a scenario script; exits with 0 on a pass."""
    if os.environ.get(INNER_FLAG) == "1":
        sys.exit(_inner(scenario))
    parser = argparse.ArgumentParser(description=scenario.__doc__)
    parser.add_argument("--program", required=True, help="the built moxarium program")
    parser.add_argument("--artifacts", required=True, help="folder that keeps screenshots and logs")
    parser.add_argument("--timeout", type=int, default=120, help="seconds before the run is stopped")
    args = parser.parse_args()

    # A stop from outside (ctest's own limit, Ctrl+C) still tears everything down.
    def on_stop(signum, frame):
        raise E2EFailure(f"stopped by signal {signum}")

    signal.signal(signal.SIGTERM, on_stop)
    signal.signal(signal.SIGINT, on_stop)
    try:
        sys.exit(_outer(args, sys.argv[0]))
    except E2EFailure as failure:
        log(f"FAIL: {failure}")
        sys.exit(1)
