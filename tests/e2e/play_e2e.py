#!/usr/bin/env python3
"""Starts the real program on its own Xvfb display, steers the figure with keys sent through the
X server, checks on a screenshot that the field shows the figure moved, and closes the program
with its Exit button.

Usage: play_e2e.py PROGRAM [SCREENSHOT.png]
"""
import os
import sys
import tempfile
import time

from e2e_support import XSession, pixel, run, screenshot, wait_for

# Without a window manager the window's client area sits at 0,0 of the screen.
FIELD = (16, 24, 233, 433)          # picMorvast: left, top, width, height
CELL_PX = 233 * 250 / 3760          # one field cell across, in pixels


def figure_columns(raw):
    """x coordinates of the falling figure's cyan outlines inside the field."""
    left, top, w, h = FIELD
    return [x for y in range(top, top + h) for x in range(left, left + w)
            if pixel(raw, x, y) == (0, 255, 255)]


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
        left, top, _, _ = FIELD
        assert pixel(screenshot(env, shot), left + 5, top + 400) == (0, 0, 0)
        if keep:
            # A few landed figures make a livelier picture.
            for key in ["Down", "Right", "Right", "Right", "Down", "Left", "Up", "Down"]:
                run(["xdotool", "key", "--window", wid, key], env)
                time.sleep(0.8 if key == "Down" else 0.05)
            run(["import", "-window", "root", "-crop", "462x614+0+0", "+repage", keep], env)

        x.click_control((0, 0), "main", "chkExit")
        x.wait_exit()
        print("closed by its Exit button")
        return 0


if __name__ == "__main__":
    sys.exit(main())
