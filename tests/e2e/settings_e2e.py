#!/usr/bin/env python3
"""Starts a copy of the program without a settings file, checks that it writes one, closes it
with its Exit button and checks the positions and absolute paths it saved; then starts it again
with the main window's Left edited in the file and checks where the window opens.

Usage: settings_e2e.py PROGRAM
"""
import os
import sys
import tempfile

from e2e_support import (clean_up, copy_program, default_settings, launch, run, settings_path,
                         start_xvfb, wait_for, window_geometry, x_env)

# The Exit button's middle in the main window's client area (twips / 15).
EXIT_IN_WINDOW = ((3360 + 120 + 2400 + 307) // 15, (7320 + 120 + 240 + 127) // 15)


def close_with_exit(game, wid, env):
    x, y, _, _ = window_geometry(env, wid)
    run(["xdotool", "mousemove", "--sync", str(x + EXIT_IN_WINDOW[0]),
         str(y + EXIT_IN_WINDOW[1]), "click", "1"], env)
    code = game.wait(timeout=20)
    assert code == 0, f"program ended with {code}: {game.stderr.read().decode()}"


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    assert data.endswith(b"\r\n"), data[-20:]
    return data[:-2].split(b"\r\n")


def main():
    folder = tempfile.mkdtemp(prefix="morvast_settings_")
    program = copy_program(sys.argv[1], folder, top_left=False)
    ini = settings_path(folder)
    xvfb, display = start_xvfb()
    env = x_env(display)
    game = None
    try:
        assert not os.path.exists(ini)
        game, wid = launch(program, env)
        wait_for(lambda: os.path.exists(ini), 20, "the settings file")
        with open(ini, "rb") as f:
            assert f.read() == default_settings(), "not the default file"
        x, y, _, _ = window_geometry(env, wid)
        print(f"first start: default file written, main window at {x},{y}")
        assert (x, y) == (197, 104), (x, y)

        close_with_exit(game, wid, env)
        game = None
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
        game, wid = launch(program, env)
        x, y, _, _ = window_geometry(env, wid)
        print(f"second start with Left 1500: main window at {x},{y}")
        assert (x, y) == (100, 104), (x, y)
        close_with_exit(game, wid, env)
        game = None
        assert read_lines(ini)[0] == b" 1500 "
        return 0
    finally:
        clean_up(game, folder, xvfb)


if __name__ == "__main__":
    sys.exit(main())
