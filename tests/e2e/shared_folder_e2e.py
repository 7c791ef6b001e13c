#!/usr/bin/env python3
"""Starts copies of the real program on a folder where something odd stands at a name it uses,
and checks that each starts, keeps its files whole and ends on SIGTERM:
- a pipe at the records' lock name, and no records file yet;
- a file-size limit below the settings file's size, so that the save at the end fails.

Usage: shared_folder_e2e.py PROGRAM
"""
import os
import resource
import signal
import subprocess
import sys
import tempfile

from e2e_support import clean_up, copy_program, settings_path, wait_for

RECORDS = "MorvastFathers.txt"


def run_until_records(program, folder, limit=None):
    """Starts the program, waits until it has made the records file, ends it with SIGTERM and
    returns its exit status."""
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="dummy")

    def limited():
        if limit is not None:
            resource.setrlimit(resource.RLIMIT_FSIZE, (limit, limit))

    game = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.PIPE, preexec_fn=limited)
    try:
        wait_for(lambda: game.poll() is not None
                 or os.path.exists(os.path.join(folder, RECORDS)), 30, "the records file")
        assert game.poll() is None, f"program ended early: {game.returncode}"
        game.send_signal(signal.SIGTERM)
        try:
            return game.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program does not end on SIGTERM") from None
    finally:
        if game.poll() is None:
            game.kill()
            game.wait()


def main():
    folder = tempfile.mkdtemp(prefix="morvast_shared_")
    try:
        program = copy_program(sys.argv[1], folder)
        lock = os.path.join(folder, RECORDS + ".lock")
        os.mkfifo(lock)
        code = run_until_records(program, folder)
        assert code == 0, f"ended with {code}"
        with open(os.path.join(folder, RECORDS), "rb") as f:
            assert f.read() == b"Zevok\r\n0\r\n"
        assert os.path.exists(lock), "the pipe was removed"
        print("a pipe at the lock's name: started, table made, ended on SIGTERM")

        os.remove(os.path.join(folder, RECORDS))  # made again once the window loads
        with open(settings_path(folder), "rb") as f:
            before = f.read()
        code = run_until_records(program, folder, limit=len(before) // 2)
        assert code == 0, f"ended with {code} (a signal of the file-size limit?)"
        with open(settings_path(folder), "rb") as f:
            assert f.read() == before, "the settings file changed"
        print("a file-size limit: the save failed as on a full disk, the file kept")
        return 0
    finally:
        clean_up(None, folder)


if __name__ == "__main__":
    sys.exit(main())
