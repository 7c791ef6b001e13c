#!/usr/bin/env python3
"""Runs copies of the real program on Xvfb under a real window manager (openbox, or the command
in MORVAST_E2E_WM), which frames each window after it is mapped. The frames are read from the
manager's own report, not from the program. Three starts, each closed through the manager, find
every window at its stored outer place and leave the place lines as they were; Auto after a
start with the records window closed, or all four, docks the frames by the table; minimising
through the manager pauses the game and takes the side windows along, and restoring brings all
of them back where they were.

Usage: wm_e2e.py PROGRAM
"""
import os
import subprocess
import sys
import time

from e2e_support import (SIDE, TITLE, XSession, box, check_docked, click_control,
                         default_settings, outer_geometry, run, settings_path,
                         start_window_manager, visible_windows, wait_for)

SCREEN = (1280, 1024)  # room for the docked columns: a manager pulls off-screen windows back
# The stored places of the default file, in pixels (twips / 15).
DEFAULT_PLACES = {"main": (197, 104), "records": (660, 507), "statistic": (769, 104),
                  "future": (660, 104), "player": (660, 391)}
PLACE_LINES = 14  # the main window's Left and Top, then flag, Left, Top of each side window


def window_ids(env, names):
    titles = dict(SIDE, main=TITLE)
    found = {name: visible_windows(env, titles[name]) for name in names}
    return {name: ids[0] for name, ids in found.items() if ids} if all(found.values()) else None


def steady_places(env, names):
    """The frames of the named windows once all are framed and have stood still for a while."""
    def read():
        ids = window_ids(env, names)
        places = ids and {name: outer_geometry(env, wid) for name, wid in ids.items()}
        return places if places and all(places.values()) else None
    last = None
    deadline = time.monotonic() + 30
    while time.monotonic() < deadline:
        now = read()
        if now and now == last:
            return now
        last = now
        time.sleep(0.5)
    raise AssertionError(f"the windows did not settle: {last}")


def client_origin(env, wid):
    info = run(["xwininfo", "-id", wid], env)
    values = dict(line.strip().split(": ", 1) for line in info.splitlines() if ": " in line)
    return int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"])


def colour_at(env, folder, x, y):
    shot = os.path.join(folder, "shot.png")
    run(["import", "-window", "root", shot], env)
    out = subprocess.run(["convert", shot, "-crop", f"1x1+{x}+{y}", "-depth", "8", "rgb:-"],
                         check=True, capture_output=True, timeout=20).stdout
    return tuple(out[:3])


def steering_shown(session, wid):
    """Whether the steering button "<" shows (it is hidden while paused): its face left of the
    caption is not the frame's black."""
    x, y = client_origin(session.env, wid)
    dx, dy = box("main", "cmdLeftRight(0)")
    return colour_at(session.env, session.folder, x + dx, y + dy) != (0, 0, 0)


def place_lines(ini):
    with open(ini, "rb") as f:
        return f.read().split(b"\r\n")[:PLACE_LINES]


def close_through_manager(session, wid):
    # The manager asks the window to close (WM_DELETE_WINDOW), as its close button does.
    run(["wmctrl", "-i", "-c", wid], session.env)
    session.wait_exit()


def near(a, b):
    return all(abs(p - q) <= 1 for p, q in zip(a, b))


def overlap(a, b):
    return (a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and
            a[1] < b[1] + b[3] and b[1] < a[1] + a[3])


def check_starts(session, ini):
    stored = place_lines(ini)
    for start in range(1, 4):
        wid = session.launch()
        places = steady_places(session.env, list(DEFAULT_PLACES))
        print(f"start {start}:", {name: g[:2] for name, g in places.items()})
        for name, at in DEFAULT_PLACES.items():
            assert near(places[name][:2], at), (start, name, places[name], at)
        close_through_manager(session, wid)
        assert place_lines(ini) == stored, (start, place_lines(ini), stored)
    print("three starts: every frame at its stored place, place lines unchanged")


def check_auto(session, ini, all_closed):
    """Auto after a start with the records window closed (its frame taken from the other tool
    windows), or with all four closed (no tool window framed before the docking)."""
    lines = default_settings().split(b"\r\n")
    lines[2:5 + 9 * all_closed] = [b"False"] * (1 + 3 * all_closed)  # flags without places
    with open(ini, "wb") as f:
        f.write(b"\r\n".join(lines))
    wid = session.launch()
    env = session.env
    steady_places(env, ["main"] if all_closed else ["main", "statistic", "future", "player"])
    click_control(env, client_origin(env, wid), "main", "chkAuto")
    p = steady_places(env, list(DEFAULT_PLACES))
    print("docked, all closed before:" if all_closed else "docked, records closed before:", p)
    check_docked(p["main"], p["future"], p["statistic"], p["records"], p["player"])
    frames = list(p.values())
    assert not any(overlap(a, b) for i, a in enumerate(frames) for b in frames[i + 1:]), frames
    return wid


def check_minimise(session, wid):
    env = session.env
    before = steady_places(env, list(DEFAULT_PLACES))
    ids = window_ids(env, list(DEFAULT_PLACES))
    assert steering_shown(session, wid)
    run(["xdotool", "windowminimize", wid], env)  # a WM_CHANGE_STATE request to the manager
    wait_for(lambda: "Iconic" in run(["xprop", "-id", wid, "WM_STATE"], env), 20, "iconic")
    wait_for(lambda: not any(outer_geometry(env, i) for i in ids.values()), 20,
             "every window to go")
    print("minimised: no window left on the screen")
    run(["wmctrl", "-i", "-a", wid], env)  # the manager restores it, as its task list does
    after = steady_places(env, list(DEFAULT_PLACES))
    print("restored:", {name: g[:2] for name, g in after.items()})
    assert all(near(after[n], before[n]) for n in before), (before, after)
    assert not steering_shown(session, wid)
    print("restored where they were; the game is paused")


def main():
    with XSession(sys.argv[1], "morvast_wm_", top_left=False, screen=SCREEN) as session:
        wm = start_window_manager(session.env)
        try:
            ini = settings_path(session.folder)
            with open(ini, "wb") as f:
                f.write(default_settings())
            check_starts(session, ini)
            close_through_manager(session, check_auto(session, ini, all_closed=True))
            wid = check_auto(session, ini, all_closed=False)
            check_minimise(session, wid)
            close_through_manager(session, wid)
        finally:
            wm.kill()
            wm.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
