#!/usr/bin/env python3
"""Starts a copy of the real program where no display can be opened: with no display named at
all, and with one that nobody serves. Each start must say so plainly and end with status 1,
leaving nothing behind in the program folder (no core file, no records, no settings).

Usage: no_display_e2e.py PROGRAM
"""
import os
import resource
import subprocess
import sys
import tempfile

from e2e_support import clean_up, copy_program


def allow_core_files():
    # An abort would leave its core file where the program runs; let it, so that one shows.
    resource.setrlimit(resource.RLIMIT_CORE, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))


def main():
    folder = tempfile.mkdtemp(prefix="morvast_nodisplay_")
    try:
        program = copy_program(sys.argv[1], folder)
        before = sorted(os.listdir(folder))
        base = {k: v for k, v in os.environ.items()
                if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        base["SDL_AUDIODRIVER"] = "dummy"
        for extra in ({"QT_QPA_PLATFORM": "xcb"}, {"DISPLAY": ":4711"}):
            done = subprocess.run([program], env=dict(base, **extra), cwd=folder,
                                  preexec_fn=allow_core_files, capture_output=True, text=True,
                                  timeout=30)
            said = done.stderr
            print(f"{extra}: status {done.returncode}, said {said.strip()!r}")
            assert done.returncode == 1, (extra, done.returncode, said)
            assert "no display could be opened" in said, said
            assert "reinstall" not in said.lower(), said
            assert sorted(os.listdir(folder)) == before, sorted(os.listdir(folder))
        return 0
    finally:
        clean_up(None, folder)


if __name__ == "__main__":
    sys.exit(main())
