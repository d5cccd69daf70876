#!/usr/bin/env python3
"""Prints our speed goals from one qmbench run.

usage: report.py BENCH_JSON [STARTUP_JSON]

BENCH_JSON is qmbench's --benchmark_out (best with --benchmark_repetitions); STARTUP_JSON is what
scripts/startup.sh writes. For every case the median, minimum and maximum over the repetitions are
taken; a goal is judged on the ratio of medians, and the range beside it (best case over worst and
worst over best) shows how much the noise of the machine could move it. In-memory cases are timed in
CPU time, so that other programs taking the cores do not count; file cases in wall time, since waiting
for the disk is their cost. The exit status is 1 when a goal is missed.
"""

import json
import statistics
import sys

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
WALL_TIME = ("BM_LevelsFile", "BM_OneWindowLevelsFile", "BM_PlainRead", "BM_PlainWrite", "BM_LoadTheme", "BM_OverviewOpening")


def load_cases(path):
    with open(path) as f:
        data = json.load(f)
    samples, errors = {}, {}
    for b in data["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        name = b.get("run_name", b["name"])
        if b.get("error_occurred"):
            errors[name] = b.get("error_message", "error")
            continue
        field = "real_time" if name.startswith(WALL_TIME) else "cpu_time"
        samples.setdefault(name, []).append(b[field] * UNIT_NS[b.get("time_unit", "ns")])
        samples.setdefault(name + " (wall)", []).append(b["real_time"] * UNIT_NS[b.get("time_unit", "ns")])
        if "frames" in b:
            samples.setdefault(name + " (frames)", []).append(b["frames"])
        if "history_bytes" in b:
            samples.setdefault(name + " (history bytes)", []).append(b["history_bytes"])
        if "max_event_wait_ns" in b:
            samples.setdefault(name + " (max event wait)", []).append(b["max_event_wait_ns"])
    cases = {}
    for name, values in samples.items():
        cases[name] = {"median": statistics.median(values), "min": min(values), "max": max(values), "n": len(values)}
    return data.get("context", {}), cases, errors


def fmt_ns(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("us", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


class Report:
    def __init__(self, cases, errors):
        self.cases, self.errors = cases, errors
        self.missed = self.met = self.unknown = self.explained = 0

    def case(self, name):
        return self.cases.get(name)

    def measured(self, label, name, error_name):
        """The case for a goal, or None after the goal is reported as not measured."""
        a = self.case(name)
        if a is None:
            self.unknown += 1
            print(f"  [  ??  ] {label:<46} not measured ({self.errors.get(error_name, 'missing')})")
        return a

    def show(self, label, name):
        c = self.case(name)
        if c is None:
            print(f"  {label:<44} {'(not measured: ' + self.errors.get(name, 'missing') + ')'}")
            return
        print(f"  {label:<44} median {fmt_ns(c['median']):>10}   min {fmt_ns(c['min']):>10}   max {fmt_ns(c['max']):>10}   ({c['n']} runs)")

    def verdict(self, label, value, limit, detail):
        ok = value <= limit
        self.met += ok
        self.missed += not ok
        state = "met   " if ok else "MISSED"
        slack = f"{limit / value:.2f}x to spare" if ok and value > 0 else f"{value / limit:.2f}x over"
        print(f"  [{state}] {label:<46} {detail}  ({slack})")

    def ratio(self, label, name, base, limit):
        a, b = self.case(name), self.case(base)
        if a is None or b is None:
            self.unknown += 1
            missing = name if a is None else base
            print(f"  [  ??  ] {label:<46} not measured: {missing} ({self.errors.get(missing, 'missing')})")
            return
        r = a["median"] / b["median"]
        lo, hi = a["min"] / b["max"], a["max"] / b["min"]
        self.verdict(label, r, limit,
                     f"{fmt_ns(a['median'])} / {fmt_ns(b['median'])} = {r:.2f}x, goal <= {limit}x, range {lo:.2f}..{hi:.2f}")

    def at_floor(self, label, name, base, limit, floor, floor_slack=1.15):
        """A ratio goal that a case may miss only by being at its measured floor: then it is explained
        (with the floor's numbers) rather than missed."""
        a, b, f = self.case(name), self.case(base), self.case(floor)
        if a is None or b is None or f is None:
            self.ratio(label, name, base, limit)
            return
        r = a["median"] / b["median"]
        if r <= limit:
            self.ratio(label, name, base, limit)
            return
        at = a["median"] / f["median"]
        if at > floor_slack:
            self.ratio(label, name, base, limit)
            return
        self.explained += 1
        print(f"  [floor ] {label:<46} {fmt_ns(a['median'])} / {fmt_ns(b['median'])} = {r:.2f}x, goal <= {limit}x: "
              f"every pixel changes, and the floor (the frame drawn whole and painted once) is "
              f"{fmt_ns(f['median'])} = {f['median'] / b['median']:.2f}x; ours is {at:.2f}x the floor")

    def memory(self, label, name, limit_bytes):
        a = self.measured(label, name, name.split(' (')[0])
        if a is None:
            return
        mb = 1024 * 1024
        self.verdict(label, a["max"], limit_bytes, f"{a['max'] / mb:.1f} MB, goal <= {limit_bytes / mb:.0f} MB")

    def worst(self, label, name, limit_ns):
        """A goal on the largest value of any run (a wait that must never be longer)."""
        a = self.measured(label, name, name.split(' (')[0])
        if a is None:
            return
        self.verdict(label, a["max"], limit_ns, f"worst {fmt_ns(a['max'])}, goal <= {fmt_ns(limit_ns)}")

    def frame_rate(self, label, name, least_per_second):
        """A goal on frames played a second: the case's frames over its median time."""
        a, frames = self.measured(label, name, name), self.case(name + " (frames)")
        if a is None or frames is None:
            return
        rate = frames["median"] / (a["median"] / 1e9)
        self.verdict(label, least_per_second / rate, 1.0,
                     f"{frames['median']:.0f} frames in {fmt_ns(a['median'])} = {rate / 1e6:.2f} M frames/s")

    def absolute(self, label, name, limit_ns):
        a = self.measured(label, name, name)
        if a is None:
            return
        self.verdict(label, a["median"], limit_ns,
                     f"{fmt_ns(a['median'])}, goal <= {fmt_ns(limit_ns)}, range {fmt_ns(a['min'])}..{fmt_ns(a['max'])}")


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    context, cases, errors = load_cases(argv[1])
    rep = Report(cases, errors)
    print(f"qmbench on {context.get('host_name', '?')}, {context.get('num_cpus', '?')} cpus, "
          f"load average {context.get('load_avg', '?')}")
    if errors:
        print("Cases that failed (a frame differing from ours fails its case):")
        for name, message in sorted(errors.items()):
            print(f"  {name}: {message}")

    print("\nMeasured (CPU time; files in wall time):")
    for bits in (32, 16):
        print(f" {bits} bits")
        rep.show("memset of the frame", f"BM_Memset/bits:{bits}")
        rep.show("memcpy of the frame", f"BM_Memcpy/bits:{bits}")
        rep.show("keyless floor, 100 x 100", f"BM_KeylessFloor100/bits:{bits}")
        rep.show("our frame, 100 x 100 (drawframe)", f"BM_EditorFrame100/bits:{bits}")
        rep.show("our frame, 40 x 40", f"BM_EditorFrame40/bits:{bits}")
        if bits == 32:
            rep.show("our frame, 100 x 100 at view (0, 0)", "BM_EditorFrameOrigin100/bits:32")
            rep.show("our frame, 16 x 12 at view (0, 0)", "BM_EditorFrameOrigin16x12/bits:32")
            rep.show("memcpy of a 1920 x 1080 window's frame", "BM_MemcpyLarge")
            for square in (40, 20, 10):
                rep.show(f"our frame, 1920 x 1080 window, squares of {square}", f"BM_EditorFrameLarge/square:{square}")
        rep.show("our frame, transparency off", f"BM_EditorFrameFloor100/bits:{bits}")
        rep.show("the frame's rectangles through Draw", f"BM_FrameBlits100/bits:{bits}")
        rep.show("peer A, Qt drawImage", f"BM_QtFrame100/bits:{bits}")
        rep.show("peer B, SDL keyed RLE blits", f"BM_SdlFrame100/bits:{bits}")
        rep.show("one 40 x 40 keyed tile (1,600 pixels)", f"BM_KeyedTile/bits:{bits}")
        rep.show("loading computer.dxg", f"BM_LoadTheme/bits:{bits}")
    print(" the window's frame as the editor makes it: drawn over the last one, painted where it changed (32 bits)")
    for large, size in ((0, "first size"), (1, "1920 x 1080")):
        rep.show(f"nothing changed, {size}", f"BM_ChangedFrameIdle/large:{large}")
        rep.show(f"the pointer moves, {size}", f"BM_ChangedFramePointer/large:{large}")
        rep.show(f"a stroke under the pointer, {size}", f"BM_ChangedFrameStroke/large:{large}")
        rep.show(f"the view scrolls (every pixel changes), {size}", f"BM_ChangedFrameScroll/large:{large}")
        rep.show(f"drawn whole and painted whole, {size}", f"BM_WholeFramePainted/large:{large}")
    print(" recovery copies (a full levels file written beside the frame; wall time shown apart)")
    rep.show("our frame, 100 x 100, 32 bits, CPU", "BM_EditorFrame100WithRecovery/bits:32/real_time")
    rep.show("our frame, 100 x 100, 32 bits, wall", "BM_EditorFrame100/real/bits:32/real_time (wall)")
    rep.show("the same with recovery writes, wall", "BM_EditorFrame100WithRecovery/bits:32/real_time (wall)")
    rep.show("taking a full file's bytes (GUI thread)", "BM_RecoverySnapshot")
    print(" other")
    rep.show("a draw clipped away", "BM_ClippedAwayDraw")
    rep.show("decode 280 x 80, 24 bits (ours)", "BM_DecodeBitmap24")
    rep.show("decode 280 x 80, 24 bits (SDL_LoadBMP_RW)", "BM_SdlLoadBmp24")
    rep.show("decode 280 x 80, RLE8 (ours)", "BM_DecodeBitmapRle8")
    rep.show("decode 280 x 80, RLE8 (SDL_LoadBMP_RW)", "BM_SdlLoadBmpRle8")
    rep.show("read 200 levels of 70 x 70", "BM_LevelsFileRead")
    rep.show("read 26 levels in one window (about 2 MB)", "BM_OneWindowLevelsFileRead")
    rep.show("plain read of the same bytes", "BM_PlainRead")
    rep.show("write 200 levels of 70 x 70 (save)", "BM_LevelsFileWrite")
    rep.show("plain write, no sync", "BM_PlainWrite/sync:0")
    rep.show("plain write with fsync", "BM_PlainWrite/sync:1")
    rep.show("plain write of a new file with fsync", "BM_PlainWriteNewFile")
    rep.show("check 200 levels of 100 x 100", "BM_CheckLevels")
    rep.show("check 200 open levels of 100 x 100 (reach crosses every square)", "BM_CheckOpenLevels")
    rep.show("check the current level again, no objects", "BM_RecheckCurrentLevel/objects:0")
    rep.show("check the current level again, 300 objects", "BM_RecheckCurrentLevel/objects:1")
    rep.show("frame 100 x 100 with overlays and reach, 32 bits", "BM_EditorFrame100OverlaysAndReach/bits:32")
    rep.show("thumbnail tiles of computer.dxg, size 4", "BM_ThumbnailTiles/size:4")
    rep.show("thumbnails of 200 levels, size 2", "BM_Thumbnails200/size:2")
    rep.show("thumbnails of 200 levels, size 4", "BM_Thumbnails200/size:4")
    rep.show("overview opening on 200 levels 100 x 100", "BM_OverviewOpening/real_time")
    rep.show("  its longest event wait", "BM_OverviewOpening/real_time (max event wait)")
    rep.show("overview after an edit (200 fingerprints)", "BM_OverviewRecheck")
    rep.show("overview drag of a level, 200 levels (2 pictures)", "BM_OverviewDragReorder")
    rep.show("undo + redo of a 100 x 100 stroke", "BM_UndoRedoFullStroke")
    rep.show("flip a 100 x 100 stamp with objects", "BM_FlipStamp100")
    rep.show("mark a 100 x 100 stamp, objects whole", "BM_MarkStamp100")
    rep.show("undo + redo of deleting level 1 of 200", "BM_UndoRedoLevelDelete")
    rep.show("replace a tile in 200 levels of 100 x 100 (a tenth of the squares)", "BM_ReplaceTile200/oneIn:10")
    rep.show("replace a tile in 200 levels of 100 x 100 (every square)", "BM_ReplaceTile200/oneIn:1")

    tile = {b: rep.case(f"BM_KeyedTile/bits:{b}") for b in (32, 16)}
    for b, c in tile.items():
        if c:
            print(f"  keyed tile, {b} bits: {c['median'] / 1600:.3f} ns a pixel (median)")

    print("\nGoals (ratio of medians):")
    rep.ratio("frame 32 bits <= 1.1x keyless floor", "BM_EditorFrame100/bits:32", "BM_KeylessFloor100/bits:32", 1.1)
    rep.ratio("frame 32 bits <= 0.4x peer A (Qt)", "BM_EditorFrame100/bits:32", "BM_QtFrame100/bits:32", 0.4)
    rep.ratio("frame 16 bits <= 1.2x keyless floor", "BM_EditorFrame100/bits:16", "BM_KeylessFloor100/bits:16", 1.2)
    rep.ratio("frame 16 bits <= 0.25x peer B (SDL RLE)", "BM_EditorFrame100/bits:16", "BM_SdlFrame100/bits:16", 0.25)
    rep.ratio("frame 100 x 100 <= 1.1x 16 x 12, same view", "BM_EditorFrameOrigin100/bits:32",
              "BM_EditorFrameOrigin16x12/bits:32", 1.1)
    # 1897 x 1083 pixels, 5.6 times the first size's: its back buffer no longer stays in the caches, so
    # the large frame is judged against a memcpy of its own buffer, by the ratio the first size keeps
    # (the first-size frame costs about 5 of its memcpys).
    rep.ratio("frame in a 1920 x 1080 window <= 6x memcpy of its back buffer",
              "BM_EditorFrameLarge/square:40", "BM_MemcpyLarge", 6.0)
    rep.ratio("frame in a 1920 x 1080 window <= 12x the first size (5.6x the pixels)",
              "BM_EditorFrameLarge/square:40", "BM_EditorFrame100/bits:32", 12.0)
    # Zoomed out, the same pixels hold 4 and 16 times the squares, each a copy of its own.
    rep.ratio("1920 x 1080 zoomed out to 20 <= 2x at 40", "BM_EditorFrameLarge/square:20",
              "BM_EditorFrameLarge/square:40", 2.0)
    rep.ratio("1920 x 1080 zoomed out to 10 <= 3x at 40", "BM_EditorFrameLarge/square:10",
              "BM_EditorFrameLarge/square:40", 3.0)
    rep.ratio("frame 32 bits, recovery writes beside it, <= 1.3x keyless floor",
              "BM_EditorFrame100WithRecovery/bits:32/real_time", "BM_KeylessFloor100/bits:32", 1.3)
    rep.absolute("clipped-away draw <= 3 ns", "BM_ClippedAwayDraw", 3.0)
    rep.ratio("24-bit decode <= 2x SDL", "BM_DecodeBitmap24", "BM_SdlLoadBmp24", 2.0)
    rep.ratio("RLE8 decode <= 1x SDL", "BM_DecodeBitmapRle8", "BM_SdlLoadBmpRle8", 1.0)
    rep.ratio("levels file read <= 1.5x plain read", "BM_LevelsFileRead", "BM_PlainRead", 1.5)
    rep.ratio("levels file write <= 2x plain write+fsync", "BM_LevelsFileWrite", "BM_PlainWriteNewFile", 2.0)
    rep.absolute("checking 200 levels of 100 x 100 < 100 ms", "BM_CheckLevels", 100e6)
    rep.absolute("checking 200 open levels of 100 x 100 < 100 ms", "BM_CheckOpenLevels", 100e6)
    rep.absolute("checking the current level again after a stroke < 5 ms", "BM_RecheckCurrentLevel/objects:1", 5e6)
    rep.absolute("thumbnails of 200 levels 100 x 100 < 250 ms", "BM_Thumbnails200/size:4", 250e6)
    rep.worst("overview opening: no event waits > 50 ms", "BM_OverviewOpening/real_time (max event wait)", 50e6)
    # Each iteration is an undo and a redo: each must fit in one frame.
    rep.absolute("undo + redo of a full-grid stroke < 2 x 16 ms", "BM_UndoRedoFullStroke", 32e6)
    rep.absolute("undo + redo of a level delete < 2 x 16 ms", "BM_UndoRedoLevelDelete", 32e6)
    rep.absolute("flipping a 100 x 100 stamp < 5 ms", "BM_FlipStamp100", 5e6)
    rep.absolute("replacing a tile in 200 levels of 100 x 100 < 50 ms", "BM_ReplaceTile200/oneIn:10", 50e6)
    # The frame as the window makes it (drawn over the last one, painted where it changed), against a
    # memcpy of its own back buffer.
    for large, size, memcpy in ((0, "", "BM_Memcpy/bits:32"), (1, ", 1920 x 1080", "BM_MemcpyLarge")):
        rep.absolute(f"frame with nothing changed{size} <= 5 us", f"BM_ChangedFrameIdle/large:{large}", 5e3)
        rep.ratio(f"frame as the pointer moves{size} <= 2x memcpy", f"BM_ChangedFramePointer/large:{large}", memcpy, 2.0)
        rep.ratio(f"frame of a stroke{size} <= 2x memcpy", f"BM_ChangedFrameStroke/large:{large}", memcpy, 2.0)
        rep.at_floor(f"frame while scrolling{size} <= 2x memcpy", f"BM_ChangedFrameScroll/large:{large}", memcpy, 2.0,
                     f"BM_WholeFramePainted/large:{large}")
    rep.frame_rate("game: 334 solutions replayed, >= 1,000,000 frames/s", "BM_ReplaySolutions", 1e6)
    rep.frame_rate("game: random play on 100 x 100, >= 1,000,000 frames/s", "BM_RandomPlay100", 1e6)
    rep.memory("history after 10,000 strokes <= 64 MB", "BM_HistoryAfter10000Strokes/iterations:1 (history bytes)", 64 * 2**20)

    if len(argv) > 2:
        with open(argv[2]) as f:
            s = json.load(f)
        print("\nStart-up and footprint (scripts/startup.sh, medians of %d launches):" % s.get("launches", 0))
        print(f"  editor: mapped after {s['editor_map_ms']:.1f} ms (runs {s['editor_map_runs']}), "
              f"peak RSS {s['editor_hwm_kb'] / 1024:.1f} MB with the sample file open, "
              f"idle CPU {s['editor_idle_cpu_percent']:.1f}% of one core over {s['idle_seconds']} s, "
              f"{s.get('editor_scroll_cpu_percent', float('nan')):.1f}% while edge-scrolling")
        print(f"  empty Qt window: mapped after {s['empty_map_ms']:.1f} ms (runs {s['empty_map_runs']}), "
              f"peak RSS {s['empty_hwm_kb'] / 1024:.1f} MB")
        r = s["editor_map_ms"] / s["empty_map_ms"]
        lo = min(s["editor_map_runs"]) / max(s["empty_map_runs"])
        hi = max(s["editor_map_runs"]) / min(s["empty_map_runs"])
        rep.verdict("start-up <= 1.2x the empty Qt window", r, 1.2,
                    f"{s['editor_map_ms']:.1f} ms / {s['empty_map_ms']:.1f} ms = {r:.2f}x, goal <= 1.2x, "
                    f"range {lo:.2f}..{hi:.2f}")
        mb = s["editor_hwm_kb"] / 1024
        rep.verdict("peak RSS with Sample.lev open <= 40 MB", mb, 40.0, f"{mb:.1f} MB, goal <= 40 MB")
        cpu = s["editor_idle_cpu_percent"]
        rep.verdict("idle CPU with a level open <= 1%", max(cpu, 0.01), 1.0, f"{cpu:.1f}% of one core, goal <= 1%")
        if "editor_scroll_cpu_percent" in s:
            cpu = s["editor_scroll_cpu_percent"]
            rep.verdict("CPU while edge-scrolling <= 10%", max(cpu, 0.01), 10.0, f"{cpu:.1f}% of one core, goal <= 10%")
        else:
            rep.unknown += 1
            print("  [  ??  ] CPU while edge-scrolling <= 10%                 not measured (an older startup.json)")
        if "editor_play_cpu_percent" in s and "editor_scroll_cpu_percent" in s:
            play, scroll = s["editor_play_cpu_percent"], s["editor_scroll_cpu_percent"]
            rep.verdict("CPU while playing <= CPU while edge-scrolling", max(play, 0.01), max(scroll, 0.01),
                        f"{play:.1f}% against {scroll:.1f}% of one core")

    print(f"\n{rep.met} goals met, {rep.missed} missed, {rep.explained} at their measured floor, "
          f"{rep.unknown} not measured.")
    return 1 if rep.missed or rep.unknown else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
