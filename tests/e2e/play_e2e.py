#!/usr/bin/env python3
"""Starts the real program on its own Xvfb display, steers the figure with keys sent through the
X server, checks on a screenshot that the field shows the figure moved, takes the grid away and
sets the phantom to "always" in the settings window by real clicks, closes the program with its
Exit button and finds both changes in the settings file it wrote at its close.

Usage: play_e2e.py PROGRAM [SCREENSHOT.png]
"""
import glob
import os
import sys
import tempfile
import time

from e2e_support import (XSession, box, controls, middle, pixel, run, screenshot, visible_windows,
                         wait_for, window_geometry)

# Without a window manager the main window's client area sits at 0,0 of the screen.
MAIN = (0, 0)
CELL_PX = 233 * 250 / 3760          # one field cell across, in pixels


def figure_columns(raw):
    """x coordinates of the falling figure's cyan outlines inside the field."""
    left, top, w, h = controls()[("main", "picMorvast")]
    return [x for y in range(top, top + h) for x in range(left, left + w)
            if pixel(raw, x, y) == (0, 255, 255)]


def change_settings(x):
    """Takes the grid away and shows the phantom always, through the menu's Set and the settings
    window's controls, closed with OK."""
    x.click_control(MAIN, "main", "chkSet")
    dialog = wait_for(lambda: visible_windows(x.env, "Settings"), 20, "the settings window")[0]
    origin = window_geometry(x.env, dialog)[:2]
    for name, at in (("chkSetka", box), ("optFant(2)", box), ("cmdOk", middle)):
        x.click_control(origin, "settings", name, at)
    wait_for(lambda: not visible_windows(x.env, "Settings"), 20, "the settings window to close")


def main():
    keep = sys.argv[2] if len(sys.argv) > 2 else None
    # The program writes its records beside itself: run a copy so the build tree stays clean.
    with XSession(sys.argv[1], "morvast_play_") as x, tempfile.TemporaryDirectory() as tmp:
        env, wid = x.env, x.launch()
        shot = os.path.join(tmp, "shot.png")
        before = wait_for(lambda: figure_columns(screenshot(env, shot)), 20, "the figure")
        for _ in range(3):
            run(["xdotool", "key", "--window", wid, "Left"], env)
        # The keys are handled when the program's event loop gets them.
        moved = wait_for(
            lambda: (lambda xs: xs if xs and min(xs) < min(before) - 2 * CELL_PX else None)(
                figure_columns(screenshot(env, shot))), 20, "the figure to move left")
        shift = (min(before) - min(moved)) / CELL_PX
        print(f"figure moved {shift:.2f} cells left")
        assert 2.5 < shift < 3.5, shift
        # The field around it is drawn: black background and the grid.
        left, top, _, _ = controls()[("main", "picMorvast")]
        assert pixel(screenshot(env, shot), left + 5, top + 400) == (0, 0, 0)
        if keep:
            # A few landed figures make a livelier picture.
            for key in ["Down", "Right", "Right", "Right", "Down", "Left", "Up", "Down"]:
                run(["xdotool", "key", "--window", wid, key], env)
                time.sleep(0.8 if key == "Down" else 0.05)
            run(["import", "-window", "root", "-crop", "462x614+0+0", "+repage", keep], env)

        change_settings(x)
        x.click_control(MAIN, "main", "chkExit")
        x.wait_exit()
        print("closed by its Exit button")

        files = glob.glob(os.path.join(x.folder, "Mvst*.ini"))
        assert len(files) == 1, f"settings files: {files}"
        with open(files[0], "rb") as f:
            values = [line for line in f.read().split(b"\r\n") if line]
        # iFantom and bDrawSetka stand on the last two lines of the fixed order. The copy started
        # with " 1 " and "True" (copy_program), in the file's own spelling.
        print("last lines:", values[-2:])
        assert values[-2:] == [b" 2 ", b"False"], values[-2:]
        return 0


if __name__ == "__main__":
    sys.exit(main())
