#!/usr/bin/env python3
"""Installs the game into a temporary prefix and checks what a desktop finds there: the launcher
and the metadata pass the distribution's validators, the launcher and the command start the
installed program, the icons are there at every size. Then the installed program folder is made
read-only and the records game of records_e2e.py is played against the installed program, by a
player whose XDG data folder is a temporary one: the records table and the settings file appear
in <data folder>/<id>, created by the program, with the bytes a copy beside its program writes,
and nothing in the program folder changes. As root (who writes into any folder) the program
runs under another account.

Usage: install_e2e.py BUILD_FOLDER GAME_ID   (the environment's CMAKE names cmake)
"""
import configparser
import os
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

from e2e_support import XSession, default_settings, settings_path
from records_e2e import NAME, check_records, play_to_records

PLAYER = 40001
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def check_desktop_files(prefix, game_id, program):
    entry = os.path.join(prefix, "share", "applications", game_id + ".desktop")
    metainfo = os.path.join(prefix, "share", "metainfo", game_id + ".metainfo.xml")
    subprocess.run(["desktop-file-validate", entry], check=True)
    subprocess.run(["appstreamcli", "validate", "--no-net", metainfo], check=True)

    desktop = configparser.ConfigParser(interpolation=None)
    desktop.optionxform = str
    desktop.read(entry, encoding="utf-8")
    e = desktop["Desktop Entry"]
    assert e["Exec"].strip('"') == program, e["Exec"]
    assert e["Icon"] == game_id and "Game" in e["Categories"].split(";"), dict(e)
    assert e["Name"] == "Morvast XII VelkNET", e["Name"]
    assert os.path.realpath(os.path.join(prefix, "bin", "morvast-xii")) == program
    component = ET.parse(metainfo).getroot()
    assert component.findtext("id") == game_id
    assert component.findtext("launchable") == game_id + ".desktop"

    theme = os.path.join(prefix, "share", "icons", "hicolor")
    for side in ICON_SIZES:
        with open(os.path.join(theme, f"{side}x{side}", "apps", game_id + ".png"), "rb") as f:
            head = f.read(24)
        assert head[:8] == b"\x89PNG\r\n\x1a\n", head
        assert struct.unpack(">II", head[16:24]) == (side, side), (side, head)
    svg = ET.parse(os.path.join(theme, "scalable", "apps", game_id + ".svg")).getroot()
    assert svg.tag == "{http://www.w3.org/2000/svg}svg", svg.tag


def listing(folder):
    return sorted((os.path.relpath(os.path.join(d, n), folder), os.stat(os.path.join(d, n)).st_size)
                  for d, dirs, files in os.walk(folder) for n in dirs + files)


def set_writable(folder, writable):
    """Closes the folder tree to writing, as an installed program's is, or opens it again."""
    for d, dirs, files in os.walk(folder):
        for path in [d] + [os.path.join(d, f) for f in files]:
            mode = os.stat(path).st_mode
            os.chmod(path, mode | stat.S_IWUSR if writable
                     else mode & ~(stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH))


def install(build, prefix):
    """Installs into prefix; the build's list of installed files, which tells how to remove a
    real install, stays as it was."""
    manifest = os.path.join(build, "install_manifest.txt")
    kept = open(manifest, "rb").read() if os.path.exists(manifest) else None
    try:
        subprocess.run([os.environ.get("CMAKE", "cmake"), "--install", build, "--prefix", prefix],
                       check=True, stdout=subprocess.DEVNULL)
    finally:
        if kept is None:
            if os.path.exists(manifest):
                os.remove(manifest)
        else:
            with open(manifest, "wb") as f:
                f.write(kept)


def main():
    build, game_id = sys.argv[1], sys.argv[2]
    root = tempfile.mkdtemp(prefix="morvast_install_")
    prefix = os.path.join(root, "prefix")
    program_folder = os.path.join(prefix, "lib", "morvast-xii")
    user = PLAYER if os.geteuid() == 0 else None
    try:
        os.chmod(root, 0o755)  # the player passes through
        install(build, prefix)
        program = os.path.join(program_folder, "MorvastXII")
        check_desktop_files(prefix, game_id, program)

        set_writable(program_folder, False)
        before = listing(program_folder)
        home = os.path.join(root, "home")
        os.mkdir(home, 0o700)
        if user is not None:
            os.chown(home, user, user)
        data = os.path.join(home, "data", game_id)
        with XSession(program, "morvast_installed_", copy=False, user=user) as x:
            x.env.update(HOME=home, XDG_DATA_HOME=os.path.join(home, "data"))
            play_to_records(x, os.path.join(data, "MorvastFathers.txt"))

        assert listing(program_folder) == before, "the installed program folder changed"
        settings = settings_path(data)
        found = sorted(os.listdir(data))
        assert found == sorted(["MorvastFathers.txt", os.path.basename(settings)]), found
        assert stat.S_IMODE(os.stat(data).st_mode) == 0o700, oct(os.stat(data).st_mode)
        score = check_records(open(os.path.join(data, "MorvastFathers.txt"), "rb").read())
        # The default file a first start writes, as beside the program; "Нет" saves nothing.
        with open(settings, "rb") as f:
            assert f.read() == default_settings(), "not the default settings file"
        print(f"installed copy stored {NAME} with {score} points in {data}")
        return 0
    finally:
        if os.path.isdir(program_folder):
            set_writable(program_folder, True)
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
