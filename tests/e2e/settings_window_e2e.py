#!/usr/bin/env python3
"""Opens the settings window of a copied program with the menu's Set, takes the grid away and
sets the phantom to "always" by real clicks, closes it with OK and the program with Exit, then
reads the settings file the program wrote at its close.

Usage: settings_window_e2e.py PROGRAM
"""
import glob
import os
import sys
import tempfile

from e2e_support import (clean_up, copy_program, launch, run, start_xvfb, visible_windows,
                         wait_for, window_geometry, x_env)

# Without a window manager the main window's client area sits at 0,0 of the screen.
SET_BUTTON = (224 + 8 + 120 + 20, 488 + 8 + 16 + 8)
EXIT_BUTTON = (224 + 8 + 160 + 20, 488 + 8 + 16 + 8)
# Inside the settings window's client area.
GRID_BOX = (8 + 10 + 8, 354 + 22 + 10)       # chkSetka's box
PHANTOM_ALWAYS = (116 + 10 + 6, 354 + 16 + 8)  # optFant(2)'s circle
OK_BUTTON = (422 + 38, 362 + 13)


def click(env, x, y):
    run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], env)


def main():
    program = sys.argv[1]
    folder = tempfile.mkdtemp(prefix="morvast_setwin_")
    program = copy_program(program, folder)
    xvfb, display = start_xvfb()
    env = x_env(display)
    game = None
    try:
        game, _ = launch(program, env)
        click(env, *SET_BUTTON)
        dialog = wait_for(lambda: visible_windows(env, "Settings"), 20, "the settings window")[0]
        x, y, _, _ = window_geometry(env, dialog)
        for dx, dy in (GRID_BOX, PHANTOM_ALWAYS, OK_BUTTON):
            click(env, x + dx, y + dy)
        wait_for(lambda: not visible_windows(env, "Settings"), 20, "the settings window to close")
        click(env, *EXIT_BUTTON)
        code = game.wait(timeout=20)
        assert code == 0, f"program ended with {code}: {game.stderr.read().decode()}"
        game = None

        files = glob.glob(os.path.join(folder, "Mvst*.ini"))
        assert len(files) == 1, f"settings files: {files}"
        with open(files[0], "rb") as f:
            lines = f.read().split(b"\r\n")
        # iFantom and bDrawSetka stand on the last two lines of the fixed order.
        values = [line for line in lines if line]
        print("last lines:", values[-2:])
        # The copy started with " 1 " and "True" (copy_program), in the file's own spelling.
        assert values[-2:] == [b" 2 ", b"False"], values[-2:]
        print("phantom and grid kept in", os.path.basename(files[0]))
        return 0
    finally:
        clean_up(game, folder, xvfb)


if __name__ == "__main__":
    sys.exit(main())
