#!/usr/bin/env python3
"""Starts a copy of the program without a settings file, checks that it writes one, closes it
with its Exit button and checks the positions and absolute paths it saved; then starts it again
with the main window's Left edited in the file, checks where the window opens, and ends it
with SIGTERM, which must save the file again.

Usage: settings_e2e.py PROGRAM
"""
import os
import signal
import sys

from e2e_support import XSession, default_settings, settings_path, wait_for, window_geometry

def close_with_exit(session, wid):
    session.click_control(window_geometry(session.env, wid)[:2], "main", "chkExit")
    session.wait_exit()


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    assert data.endswith(b"\r\n"), data[-20:]
    return data[:-2].split(b"\r\n")


def main():
    with XSession(sys.argv[1], "morvast_settings_", top_left=False) as session:
        folder, ini = session.folder, settings_path(session.folder)
        assert not os.path.exists(ini)
        wid = session.launch()
        wait_for(lambda: os.path.exists(ini), 20, "the settings file")
        with open(ini, "rb") as f:
            assert f.read() == default_settings(), "not the default file"
        x, y, _, _ = window_geometry(session.env, wid)
        print(f"first start: default file written, main window at {x},{y}")
        assert (x, y) == (197, 104), (x, y)

        close_with_exit(session, wid)
        lines = read_lines(ini)
        assert len(lines) == 66, len(lines)
        assert lines[:2] == [b" 2955 ", b" 1560 "], lines[:2]
        music, mp3 = lines[16].decode(), lines[60].decode()
        print(f"saved on Exit: music {music}, player {mp3}")
        assert music == os.path.join(folder, "sound", "bkgmusic.WAV"), music
        assert mp3 == os.path.join(folder, "sound", "AnotherBkg.mp3"), mp3
        assert lines[20].decode() == os.path.join(folder, "sound", "left1.WAV"), lines[20]

        lines[0] = b" 1500 "
        with open(ini, "wb") as f:
            f.write(b"\r\n".join(lines) + b"\r\n")
        wid = session.launch()
        x, y, _, _ = window_geometry(session.env, wid)
        print(f"second start with Left 1500: main window at {x},{y}")
        assert (x, y) == (100, 104), (x, y)
        # A logout or shutdown asks with SIGTERM: the program saves as its close box would.
        os.remove(ini)
        session.game.send_signal(signal.SIGTERM)
        session.wait_exit()
        assert read_lines(ini)[0] == b" 1500 "
        print("saved again on SIGTERM")
        return 0


if __name__ == "__main__":
    sys.exit(main())
