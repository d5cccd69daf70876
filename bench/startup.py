#!/usr/bin/env python3
"""Start-up and footprint of the editor against an empty Qt main window; run by scripts/startup.sh
inside a virtual X server (DISPLAY set).

usage: startup.py GAME_DIR EMPTY_WINDOW OUT_JSON [LAUNCHES] [SCREENSHOT_DIR]

Launch to mapped: the root window's substructure events are watched (xev), and the time runs from
just before the program is started to the MapNotify of its first top-level window. The programs are
launched alternately, LAUNCHES times each, and the medians are kept.
Footprint: the editor is driven through its menu with xdotool (File, Open Levels File, the full path of
Sample.lev in the file dialog, Edit in the levels dialog); then the peak RSS (VmHWM) is read and the
CPU time the process takes over 10 idle seconds with the level shown, then over 10 seconds of edge
scrolling (the pointer rests in the right and the left scrolling band in turn, half a second each, so
that the view keeps moving), then over 10 seconds of playing the level (Play Level, F9, the right arrow
held and let go in turn). Screenshots of each step go to SCREENSHOT_DIR when given.
The peak of each step is kept too (editor_step_peak_kb): the high-water mark is read and started
again from the resident size (/proc/PID/clear_refs) as each step begins, so each names what the
step took at its highest; the overall peak is the largest of them.
"""

import json
import os
import queue
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

IDLE_SECONDS = 10


class RootWatcher:
    """Map events of top-level windows, from xev on the root window, with the time they were seen."""

    def __init__(self):
        self.proc = subprocess.Popen(["stdbuf", "-oL", "xev", "-root", "-event", "substructure"],
                                     stdout=subprocess.PIPE, text=True, bufsize=1)
        self.events = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()
        time.sleep(0.5)  # xev has selected the events by now

    def _read(self):
        pending = None
        for line in self.proc.stdout:
            stamp = time.monotonic()
            if line.startswith("MapNotify event"):
                pending = stamp
            elif pending is not None and "window 0x" in line:
                # "    event 0x..., window 0x..., override NO"
                window = line.split("window ")[1].split(",")[0]
                self.events.put((pending, int(window, 16)))
                pending = None

    def drain(self):
        while not self.events.empty():
            self.events.get_nowait()

    def next_map(self, timeout=10.0):
        return self.events.get(timeout=timeout)

    def close(self):
        self.proc.terminate()
        self.proc.wait()


def launch(watcher, argv, env):
    watcher.drain()
    start = time.monotonic()
    proc = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    mapped, window = watcher.next_map()
    return proc, (mapped - start) * 1000.0, window


def stop(proc):
    proc.terminate()
    try:
        proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()


def status_kb(pid, field):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


class StepPeaks:
    """The peak resident size of each step, in KB; where the high-water mark cannot be started again,
    each step's figure is the peak since launch."""

    def __init__(self, pid):
        self.pid, self.peaks, self.step = pid, {}, "start"

    def begin(self, step):
        self.peaks[self.step] = max(self.peaks.get(self.step, 0), status_kb(self.pid, "VmHWM"))
        try:
            with open(f"/proc/{self.pid}/clear_refs", "w") as f:
                f.write("5")
        except OSError:
            pass
        self.step = step

    def overall(self):
        return max(self.peaks.values())


def xdo(*args):
    subprocess.run(["xdotool", *args], check=True, stdout=subprocess.DEVNULL)


def shot(directory, name):
    if directory:
        subprocess.run(["import", "-window", "root", os.path.join(directory, name + ".png")], check=False)


def open_sample(watcher, window, game_dir, shots, peaks):
    """File, Open Levels File, the sample's path, then Edit in the levels dialog (level 1 chosen)."""
    xdo("mousemove", "300", "300")
    xdo("windowfocus", "--sync", str(window))
    time.sleep(0.5)
    watcher.drain()
    peaks.begin("file menu")
    xdo("key", "alt+f")
    time.sleep(0.5)
    shot(shots, "1-file-menu")
    peaks.begin("file dialog")
    xdo("key", "o")
    watcher.next_map()  # the file dialog
    time.sleep(1.0)
    shot(shots, "2-file-dialog")
    watcher.drain()
    xdo("type", "--delay", "5", os.path.join(game_dir, "Sample.lev"))
    peaks.begin("levels dialog")
    xdo("key", "Return")
    watcher.next_map()  # the levels dialog, or the name completer's popup before it
    time.sleep(1.5)
    dialog = subprocess.run(["xdotool", "getwindowfocus"], check=True, capture_output=True, text=True).stdout.strip()
    shot(shots, "3-levels-dialog")
    # Edit is the fourth of the buttons along the dialog's bottom edge (its size is fixed).
    size = subprocess.run(["xdotool", "getwindowgeometry", "--shell", str(dialog)], check=True,
                          capture_output=True, text=True).stdout
    geometry = dict(line.split("=") for line in size.split())
    x, y = int(int(geometry["WIDTH"]) * 0.694), int(int(geometry["HEIGHT"]) * 0.922)
    xdo("mousemove", "--window", str(dialog), str(x), str(y))
    peaks.begin("edit")
    xdo("click", "1")
    time.sleep(1.0)
    # The pointer rests in the middle of the map, away from the scrolling edges.
    xdo("mousemove", "--window", str(window), "320", "260")
    time.sleep(1.0)
    shot(shots, "4-level-open")


def main(argv):
    game_dir, empty, out = argv[1], argv[2], argv[3]
    launches = int(argv[4]) if len(argv) > 4 else 5
    shots = argv[5] if len(argv) > 5 else None
    if shots:
        os.makedirs(shots, exist_ok=True)

    # The editor rewrites its configuration file at exit and keeps a preference: run a copy of the game
    # directory, with settings in a scratch folder.
    scratch = tempfile.mkdtemp(prefix="qmstartup-")
    work = os.path.join(scratch, "game")
    shutil.copytree(game_dir, work)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(scratch, "config"))
    editor = [os.path.join(work, "qmeditor")]

    watcher = RootWatcher()
    editor_ms, empty_ms, empty_hwm = [], [], []
    try:
        # One launch of each first, not counted: the files are then in the page cache for all.
        for argv_ in (editor, [empty]):
            proc, _, _ = launch(watcher, argv_, env)
            time.sleep(0.3)
            stop(proc)
        for _ in range(launches):
            proc, ms, _ = launch(watcher, editor, env)
            editor_ms.append(ms)
            time.sleep(0.3)
            stop(proc)
            proc, ms, _ = launch(watcher, [empty], env)
            empty_ms.append(ms)
            time.sleep(1.0)
            empty_hwm.append(status_kb(proc.pid, "VmHWM"))
            stop(proc)

        proc, _, window = launch(watcher, editor, env)
        time.sleep(1.0)
        peaks = StepPeaks(proc.pid)
        open_sample(watcher, window, work, shots, peaks)
        peaks.begin("idle")
        ticks_per_s = os.sysconf("SC_CLK_TCK")
        before, t0 = cpu_ticks(proc.pid), time.monotonic()
        time.sleep(IDLE_SECONDS)
        after, t1 = cpu_ticks(proc.pid), time.monotonic()
        idle = 100.0 * (after - before) / ticks_per_s / (t1 - t0)
        peaks.begin("scrolling")
        before, t0 = cpu_ticks(proc.pid), time.monotonic()
        for leg in range(2 * IDLE_SECONDS):
            xdo("mousemove", "--window", str(window), "775" if leg % 2 == 0 else "3", "260")
            time.sleep(0.5)
        after, t1 = cpu_ticks(proc.pid), time.monotonic()
        scrolling = 100.0 * (after - before) / ticks_per_s / (t1 - t0)
        shot(shots, "5-after-idle")
        xdo("mousemove", "--window", str(window), "320", "260")
        # Back to the window after the levels dialog: the menu's shortcuts need it active.
        xdo("windowfocus", "--sync", str(window))
        time.sleep(0.5)
        peaks.begin("playing")
        xdo("key", "F9")
        time.sleep(0.5)
        before, t0 = cpu_ticks(proc.pid), time.monotonic()
        for leg in range(2 * IDLE_SECONDS):
            xdo("keydown" if leg % 2 == 0 else "keyup", "Right")
            time.sleep(0.5)
        after, t1 = cpu_ticks(proc.pid), time.monotonic()
        playing = 100.0 * (after - before) / ticks_per_s / (t1 - t0)
        shot(shots, "6-playing")
        xdo("key", "Escape")
        time.sleep(0.5)
        peaks.begin("end")
        hwm = peaks.overall()
        rss = status_kb(proc.pid, "VmRSS")
        stop(proc)
    finally:
        watcher.close()
        shutil.rmtree(scratch, ignore_errors=True)

    result = {
        "launches": launches,
        "editor_map_ms": statistics.median(editor_ms),
        "editor_map_runs": [round(v, 1) for v in editor_ms],
        "empty_map_ms": statistics.median(empty_ms),
        "empty_map_runs": [round(v, 1) for v in empty_ms],
        "editor_hwm_kb": hwm,
        "editor_step_peak_kb": peaks.peaks,
        "editor_rss_kb": rss,
        "empty_hwm_kb": int(statistics.median(empty_hwm)),
        "editor_idle_cpu_percent": idle,
        "editor_scroll_cpu_percent": scrolling,
        "editor_play_cpu_percent": playing,
        "idle_seconds": IDLE_SECONDS,
    }
    with open(out, "w") as f:
        json.dump(result, f, indent=2)
    print(json.dumps(result, indent=2))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
