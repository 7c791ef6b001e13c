#!/usr/bin/env python3
"""Opens the settings window of a copied program with the menu's Set, takes the grid away and
sets the phantom to "always" by real clicks, closes it with OK and the program with Exit, then
reads the settings file the program wrote at its close.

Usage: settings_window_e2e.py PROGRAM
"""
import glob
import os
import sys

from e2e_support import XSession, box, middle, visible_windows, wait_for, window_geometry

# Without a window manager the main window's client area sits at 0,0 of the screen.
MAIN = (0, 0)


def main():
    with XSession(sys.argv[1], "morvast_setwin_") as x:
        x.launch()
        x.click_control(MAIN, "main", "chkSet")
        dialog = wait_for(lambda: visible_windows(x.env, "Settings"), 20, "the settings window")[0]
        origin = window_geometry(x.env, dialog)[:2]
        for name, at in (("chkSetka", box), ("optFant(2)", box), ("cmdOk", middle)):
            x.click_control(origin, "settings", name, at)
        wait_for(lambda: not visible_windows(x.env, "Settings"), 20, "the settings window to close")
        x.click_control(MAIN, "main", "chkExit")
        x.wait_exit()

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
