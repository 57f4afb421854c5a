"""Helper windows on the scenario's X display (the program mox_e2e_window, named by
MOX_E2E_WINDOW), and reading pixels of pictures with ImageMagick."""

import os
import select
import subprocess
import time

from moxe2e import fail, log


def pattern_pixel(x, y):
    """The colour the pattern window paints at screen place (x, y), as (r, g, b)."""
    return ((x * 7) % 256, (y * 5) % 256, ((x + y) * 3) % 256)


class HelperWindow:
    """One helper window, ended on close() (and by the harness with the scenario)."""

    def __init__(self, geometry, pattern=False, wm_class=None, iconic=False):
        program = os.environ.get("MOX_E2E_WINDOW")
        if not program or not os.access(program, os.X_OK):
            fail("the helper window program (MOX_E2E_WINDOW) is missing; build mox_e2e_window")
        args = [program, "--place", ",".join(str(v) for v in geometry)]
        if pattern:
            args.append("--pattern")
        if wm_class:
            args += ["--class", ",".join(wm_class)]
        if iconic:
            args.append("--iconic")
        self.proc = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        line = self.read_line(10)
        if not line.startswith("ready "):
            self.close()
            fail(f"the helper window {args} did not start (it said {line!r})")
        self.window_id = int(line.split()[1])
        log(f"helper window {self.window_id:#x}: {' '.join(args[1:])}")

    def read_line(self, timeout):
        deadline = time.monotonic() + timeout
        data = b""
        while not data.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or self.proc.poll() is not None:
                break
            ready, _, _ = select.select([self.proc.stdout], [], [], left)
            if not ready:
                break
            chunk = os.read(self.proc.stdout.fileno(), 1)
            if not chunk:
                break
            data += chunk
        return data.decode(errors="replace").strip()

    def close(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(timeout=5)


def rgb_pixels(path, crop=None):
    """The pixels of a picture file (or a part x, y, w, h of it) as a list of rows of
    (r, g, b), read with ImageMagick."""
    args = ["convert", path]
    if crop:
        x, y, w, h = crop
        args += ["-crop", f"{w}x{h}+{x}+{y}", "+repage"]
    args += ["-depth", "8", "rgb:-"]
    result = subprocess.run(args, capture_output=True, timeout=30)
    if result.returncode != 0:
        fail(f"ImageMagick could not read {path}: {result.stderr.decode(errors='replace')}")
    size = subprocess.run(["identify", "-format", "%w %h", path], capture_output=True, text=True, timeout=30)
    width, height = (crop[2], crop[3]) if crop else tuple(int(v) for v in size.stdout.split())
    data = result.stdout
    if len(data) != width * height * 3:
        fail(f"{path}: {len(data)} bytes of pixels for {width}x{height}")
    return [[tuple(data[(r * width + c) * 3:(r * width + c) * 3 + 3]) for c in range(width)]
            for r in range(height)]
