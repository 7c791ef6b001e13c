#!/usr/bin/env python3
"""Plays a copy of the real program to the end of a game on its own Xvfb display, enters a name
in the name dialog, answers "Нет" at game over, and checks the records file the copy wrote beside
itself (the new row on top of the default one, in the stored format) and that the player's
settings file beside it kept every byte: "Нет" ends the program without saving.

Usage: records_e2e.py PROGRAM
"""
import fnmatch
import os
import re
import sys
import time

from e2e_support import (XSession, default_settings, run, screenshot, settings_path,
                         visible_windows, wait_for, wait_painted, window_geometry)

NAME = "Tester"


def play_until_dialog(env, main):
    """Drops every figure at the entry, which fills the middle columns quickly; returns the
    first new window, the name dialog (it carries the same caption as the main window)."""
    def dialog():
        others = [w for w in visible_windows(env) if w != main]
        if others:
            return others[0]
        run(["xdotool", "key", "--window", main, "Down"], env)
        return None
    return wait_for(dialog, 45, "the name dialog at the end of the game")


def check_records(data):
    """Returns the stored score after checking the file's layout."""
    assert data.endswith(b"\r\n"), data
    lines = data.split(b"\r\n")[:-1]
    assert all(b"\n" not in line and b"\r" not in line for line in lines), data
    assert len(lines) == 4, data
    new_row = lines.index(NAME.encode()) if NAME.encode() in lines else None
    assert new_row in (0, 2), f"{NAME} is not a name line: {data}"
    score_line = lines[new_row + 1].decode("ascii")
    assert re.fullmatch(r" \d+ ", score_line), repr(score_line)
    score = int(score_line)
    # A score above the default row's 0 goes above it; an equal one goes below. The default row
    # is written back as it was read.
    expected = ([NAME, score_line, "Zevok", "0"] if score > 0
                else ["Zevok", "0", NAME, score_line])
    assert [line.decode("ascii") for line in lines] == expected, data
    return score


def play_to_records(x, records):
    """Plays the program of the session x to the end of a game, enters the name and answers
    "Нет", which ends the program; checks that the records file is written only once the name
    is confirmed."""
    env = x.env
    shot = os.path.join(x.folder, "shot.png")
    try:
        main_window = x.launch()
        started = time.monotonic()
        name_dialog = play_until_dialog(env, main_window)
        print(f"name dialog after {time.monotonic() - started:.1f} s")
        # The record is written only after the name is confirmed.
        assert open(records, "rb").read() == b"Zevok\r\n0\r\n", open(records, "rb").read()

        # "UnNamed" comes selected, so typing replaces it.
        wait_painted(env, name_dialog, shot)
        run(["xdotool", "windowfocus", "--sync", name_dialog], env)
        run(["xdotool", "type", "--delay", "30", NAME], env)
        run(["xdotool", "key", "Return"], env)

        game_over = wait_for(
            lambda: [w for w in visible_windows(env) if w not in (main_window, name_dialog)],
            20, "the game-over dialog")[0]
        assert name_dialog not in visible_windows(env), "the name dialog stayed open"
        wait_painted(env, game_over, shot)
        x.click_control(window_geometry(env, game_over)[:2], "gameover", "cmdNo")
        x.wait_exit()
    except Exception:
        # What the screen and the file looked like, for a failure seen only on a busy
        # machine; the display is nobody else's, but say if its server went away.
        print(f"Xvfb :{x.display} status {x.xvfb.poll()}, windows: {visible_windows(env)}")
        if os.path.exists(records):
            print("records:", open(records, "rb").read())
        screenshot(env, "records_e2e_failure.png")
        print("screen saved as", os.path.abspath("records_e2e_failure.png"))
        if x.game is not None:
            x.game.kill()
            print(f"program status {x.game.wait()}, its errors: {x.game.stderr.read().decode()}")
            x.game = None
        raise


def main():
    with XSession(sys.argv[1], "morvast_records_") as x:
        folder = x.folder
        records = os.path.join(folder, "MorvastFathers.txt")
        play_to_records(x, records)
        score = check_records(open(records, "rb").read())
        print(f"stored {NAME} with {score} points")
        # "No" ends the program without saving: the settings file is the one it started with.
        settings = [f for f in os.listdir(folder) if fnmatch.fnmatch(f.lower(), "mvst*.ini")]
        assert settings == [os.path.basename(settings_path(folder))], settings
        with open(settings_path(folder), "rb") as f:
            assert f.read() == default_settings(0, 0), "settings written on the way out"
        return 0


if __name__ == "__main__":
    sys.exit(main())
