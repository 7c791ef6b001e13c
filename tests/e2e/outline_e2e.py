#!/usr/bin/env python3
"""Runs a copy of the real program on its own Xvfb display and checks what only a real window
system shows: the window is cut down to its frames and bars, so the desktop shows through and
the pointer reaches what lies below; Auto docks the side windows beside it; Help opens the help
window, whose Next steps through the controls, each painted blue in turn.

Usage: outline_e2e.py PROGRAM
"""
import os
import subprocess
import sys

from e2e_support import (SIDE, XSession, check_docked, click_control, pixel, run, screenshot,
                         visible_windows, wait_for, window_geometry)

# Client coordinates in the main window.
INSIDE = [(130, 240), (271, 3), (440, 575)]      # the field, the top bar, the menu frame
CUT_AWAY = [(264, 300), (300, 480), (40, 550)]   # between the frames
FIELD_SPOT = (21, 424)                           # in the play field, clear of the help window
CONTROL_SPOT = (180, 500)                        # in the Control frame, right of its caption
BLUE, BLACK, GREEN = (0, 0, 255), (0, 0, 0), (0, 255, 0)


def start_backdrop(env):
    """A green window over the whole screen, beneath the game (no window manager: the window
    mapped last lies on top). Answers the process and its window."""
    backdrop = subprocess.Popen(["xmessage", "-bg", "#00ff00", "-fg", "#00ff00", "-geometry",
                                 "640x640+0+0", "-buttons", "", "."], env=env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return backdrop, wait_for(lambda: visible_windows(env, "xmessage"), 20, "the backdrop")[0]


def window_under(env, x, y):
    out = run(["xdotool", "mousemove", "--sync", str(x), str(y), "getmouselocation", "--shell"],
              env)
    return dict(line.split("=", 1) for line in out.splitlines())["WINDOW"]


def main():
    with XSession(sys.argv[1], "morvast_outline_") as session:
        backdrop, _ = start_backdrop(session.env)
        try:
            return check_outline(session, session.launch())
        finally:
            backdrop.kill()
            backdrop.wait()


def check_outline(session, wid):
    env, shot = session.env, os.path.join(session.folder, "shot.png")
    mx, my, mw, mh = window_geometry(env, wid)
    print("main window", mx, my, mw, mh)

    # The backdrop shows through the cut-away parts; the frames are there, black.
    def desktop_in_gaps():
        raw = screenshot(env, shot)
        return all(pixel(raw, mx + x, my + y) == GREEN for x, y in CUT_AWAY) and raw
    raw = wait_for(desktop_in_gaps, 20, "the backdrop in the cut-away parts")
    for x, y in INSIDE:
        assert pixel(raw, mx + x, my + y) == BLACK, (x, y, pixel(raw, mx + x, my + y))
    print("the backdrop shows between the frames")

    # The pointer over a cut-away part is over the backdrop, as it is beside the window.
    below = window_under(env, 620, 620)
    assert below != wid
    for x, y in CUT_AWAY:
        assert window_under(env, mx + x, my + y) == below, (x, y)
    for x, y in INSIDE:
        assert window_under(env, mx + x, my + y) == wid, (x, y)
    print("the pointer reaches the backdrop through the cut-away parts")

    # Auto: the side windows beside the main window, bottoms and tops level with it.
    click_control(env, (mx, my), "main", "chkAuto")
    def docked(title):
        ids = visible_windows(env, title)
        return window_geometry(env, ids[0]) if ids else None
    side = {name: wait_for(lambda: docked(title), 20, f"the {name} window")
            for name, title in SIDE.items()}
    check_docked((mx, my, mw, mh), side["future"], side["statistic"], side["records"],
                 side["player"])
    print("docked:", side)

    # Help: the records text first, then Next paints the field blue, then the next control.
    click_control(env, (mx, my), "main", "chkHelp")

    def unrolled_help():
        """Where the help window stands once it has unrolled: clicks reach it then. Every
        showing maps a window of its own."""
        def unrolled():
            ids = visible_windows(env, "Справка")
            g = window_geometry(env, ids[0]) if ids else None
            return g if g and g[3] > 180 else None
        return wait_for(unrolled, 20, "the help window, unrolled")[:2]

    def press_in_help(name):
        click_control(env, unrolled_help(), "help", name)

    def colour_at(spot):
        return pixel(screenshot(env, shot), mx + spot[0], my + spot[1])
    press_in_help("cmdNext")
    wait_for(lambda: colour_at(FIELD_SPOT) == BLUE, 20, "the field painted blue")
    press_in_help("cmdNext")
    wait_for(lambda: colour_at(CONTROL_SPOT) == BLUE, 20, "the Control frame painted blue")
    assert colour_at(FIELD_SPOT) == BLACK
    print("Next steps from the field to the Control frame")
    press_in_help("cmdClose")
    wait_for(lambda: not visible_windows(env, "Справка"), 20, "the help window to close")
    wait_for(lambda: colour_at(CONTROL_SPOT) == BLACK, 20, "the Control frame black again")
    print("Close ends the tour")
    return 0


if __name__ == "__main__":
    sys.exit(main())
