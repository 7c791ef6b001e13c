"""Helpers shared by the end-to-end tests: a private Xvfb display, xdotool and screenshot
wrappers, polling, and a throw-away copy of the program folder."""
import functools
import os
import re
import shlex
import shutil
import socket
import subprocess
import tempfile
import time

TITLE = "Morvast XII VelkNET"
# The side windows' titles, as patterns for xdotool's name search.
SIDE = {"records": "The Best Of The Morvast", "statistic": "Statistic", "future": "Future",
        "player": r"\*\.mp3 & \*\.wma Player"}
SCREEN_W, SCREEN_H = 640, 640


def start_xvfb(size=(SCREEN_W, SCREEN_H)):
    """Starts Xvfb on a display it picks itself (no race with other tests), returns both.
    Without -noreset the server resets whenever its last client leaves: an xdotool poll that
    ends while the program is still starting would make the program's connection fail."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                             f"{size[0]}x{size[1]}x24", "-nolisten", "tcp", "-noreset"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as f:
        display = f.readline().strip()
    if not display:
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    return xvfb, display


def x_env(display):
    """Environment for the program and the X tools on the given display; sound goes nowhere,
    so no test reaches for a sound card."""
    env = dict(os.environ, DISPLAY=f":{display}", QT_QPA_PLATFORM="xcb", SDL_AUDIODRIVER="dummy")
    env.pop("WAYLAND_DISPLAY", None)
    return env


def run(cmd, env, timeout=20):
    return subprocess.run(cmd, env=env, check=True, timeout=timeout, capture_output=True,
                          text=True).stdout


def screenshot(env, path):
    run(["import", "-window", "root", path], env)
    raw = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, timeout=20,
                         capture_output=True).stdout
    assert len(raw) == SCREEN_W * SCREEN_H * 3, len(raw)
    return raw


def pixel(raw, x, y):
    i = (y * SCREEN_W + x) * 3
    return raw[i], raw[i + 1], raw[i + 2]


def wait_for(predicate, seconds, what):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        result = predicate()
        if result:
            return result
        time.sleep(0.1)
    raise AssertionError(f"timed out waiting for {what}")


def visible_windows(env, title=TITLE):
    """Ids of the mapped windows with the given title, in the order xdotool lists them."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"],
                           env=env, capture_output=True, text=True, timeout=20)
    return found.stdout.split()


def window_geometry(env, wid):
    """x, y, width, height of a window on the screen."""
    values = {}
    for line in run(["xdotool", "getwindowgeometry", "--shell", wid], env).splitlines():
        key, _, value = line.partition("=")
        values[key] = int(value) if value.lstrip("-").isdigit() else value
    return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]


def start_window_manager(env):
    """Starts the window manager named by MORVAST_E2E_WM (a command line; openbox by default)
    and waits until it has announced itself on the root window."""
    command = shlex.split(os.environ.get("MORVAST_E2E_WM", "openbox"))
    wm = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        wait_for(lambda: "window id" in run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env),
                 20, f"the window manager {command[0]}")
    except BaseException:
        wm.kill()
        raise
    return wm


def outer_geometry(env, wid):
    """x, y, width, height of a window's frame, from the frame the window manager says it put
    round the window (_NET_FRAME_EXTENTS); None while it has not said."""
    info = run(["xwininfo", "-id", wid], env)
    field = lambda name: int(re.search(name + r":\s+(-?\d+)", info).group(1))
    if "IsViewable" not in info:
        return None
    extents = re.findall(r"\d+", run(["xprop", "-id", wid, "_NET_FRAME_EXTENTS"], env)
                         .partition("=")[2])
    if len(extents) != 4:
        return None
    left, right, top, bottom = map(int, extents)
    return (field("Absolute upper-left X") - left, field("Absolute upper-left Y") - top,
            field("Width") + left + right, field("Height") + top + bottom)


def check_docked(m, future, stat, records, player):
    """Auto's places, given (x, y, width, height) of the main window and the side windows, all
    outer or all client: the future window 20 twips right of the main window's top, the
    statistic window 40 twips beside it, the records window's bottom level with the main one's,
    and the player centred in the space left between the future and the records windows."""
    column = m[0] + m[2] + 1
    assert future[:2] == (column, m[1]), (future, m)
    assert stat[:2] == (column + future[2] + 2, m[1]), (stat, future, m)
    assert (records[0], records[1] + records[3]) == (column, m[1] + m[3]), (records, m)
    space = records[1] - m[1] - future[3] - player[3]
    assert player[:2] == (column, m[1] + future[3] + space // 2), (player, future, records)


def settings_path(folder):
    """The settings file the program keeps in its folder for this computer."""
    name = socket.gethostname().strip().split("\0")[0].replace("/", "_").replace("\\", "_")
    return os.path.join(folder, f"Mvst{name}.ini")


def default_settings(left=2955, top=1560):
    """The default settings file as the program makes it (the settings tests check its lines),
    with the main window's place in twips."""
    made = subprocess.run([os.environ["MORVAST_SETTINGS_HELPER"], "--defaults"],
                          capture_output=True, check=True).stdout
    lines = made.split(b"\r\n")
    lines[0:2] = [f" {left} ".encode(), f" {top} ".encode()]
    return b"\r\n".join(lines)


def copy_program(program, dest, top_left=True):
    """Copies the binary and its media into dest, so that the files the program keeps beside
    itself land there and not in the build tree. With top_left, a settings file puts the main
    window at the screen's top-left corner, where the tests' coordinates expect it. Returns the
    copied binary's path."""
    source_dir = os.path.dirname(os.path.abspath(program))
    copy = os.path.join(dest, os.path.basename(program))
    shutil.copy2(program, copy)
    shutil.copytree(os.path.join(source_dir, "sound"), os.path.join(dest, "sound"))
    if top_left:
        with open(settings_path(dest), "wb") as f:
            f.write(default_settings(0, 0))
    return copy


def wait_painted(env, wid, shot, seconds=20):
    """Waits until a freshly mapped dialog shows its light background along its top edge: input
    sent before it is drawn can be lost on a busy machine."""
    def painted():
        x, y, w, h = window_geometry(env, wid)
        raw = screenshot(env, shot)
        return all(min(pixel(raw, x + i, y + 3)) >= 180 for i in range(3, w - 3))
    return wait_for(painted, seconds, f"window {wid} to be drawn")


def clean_up(game, folder, xvfb=None):
    """Ends what a test started, whatever state it was left in, and removes its folder."""
    if game is not None:
        game.kill()
        game.wait()
    if xvfb is not None:
        xvfb.terminate()
        xvfb.wait()
    if folder is not None:
        shutil.rmtree(folder, ignore_errors=True)


@functools.cache
def controls():
    """Where the program's windows lay out their named controls: {(window, name): (x, y, width,
    height)} in pixels of the window's client area (windows: main, settings, help, gameover)."""
    out = subprocess.run([os.environ["MORVAST_CONTROL_MAP"]], capture_output=True, check=True,
                         text=True, timeout=60).stdout
    return {(window, name): tuple(map(int, place))
            for window, name, *place in (line.split() for line in out.splitlines())}


def middle(window, name):
    """The middle of a named control, in its window's client area."""
    x, y, w, h = controls()[(window, name)]
    return x + w // 2, y + h // 2


def box(window, name):
    """The box or circle at the left end of a named check box or option button."""
    x, y, _, h = controls()[(window, name)]
    return x + 8, y + h // 2


def click(env, x, y):
    run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"], env)


def click_control(env, origin, window, name, at=middle):
    """Clicks a named control of a window whose client area starts at origin, (x, y) on the
    screen: in its middle, or with at=box on its box."""
    dx, dy = at(window, name)
    click(env, origin[0] + dx, origin[1] + dy)


def launch(program, env, user=None):
    """Starts the program on the display of env, under the account user (a number) if given;
    answers the process and its focused main window once that window is shown."""
    game = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                            user=user, group=user)
    try:
        wid = wait_for(lambda: visible_windows(env), 30, "the main window")[0]
        run(["xdotool", "windowfocus", "--sync", wid], env)
    except BaseException:
        clean_up(game, None)
        raise
    return game, wid


class XSession:
    """A copy of the program in a folder of its own and a private display, both gone when the
    with-block ends, whatever state the test left the program in. Without copy, the program
    runs where it is (an installed one), under the account user if given, and the folder only
    holds what the test puts there."""

    def __init__(self, program, prefix, top_left=True, copy=True, user=None,
                 screen=(SCREEN_W, SCREEN_H)):
        self.folder = tempfile.mkdtemp(prefix=prefix)
        self.game = self.xvfb = None
        self.user = user
        try:
            self.program = copy_program(program, self.folder, top_left) if copy else program
            self.xvfb, self.display = start_xvfb(screen)
        except BaseException:
            clean_up(None, self.folder, self.xvfb)
            raise
        self.env = x_env(self.display)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        clean_up(self.game, self.folder, self.xvfb)

    def launch(self):
        """Starts the program; answers its main window once shown."""
        self.game, wid = launch(self.program, self.env, self.user)
        return wid

    def click_control(self, origin, window, name, at=middle):
        click_control(self.env, origin, window, name, at)

    def wait_exit(self):
        """Waits for the program to end by itself, as it should, with status 0."""
        code = self.game.wait(timeout=20)
        assert code == 0, f"program ended with {code}: {self.game.stderr.read().decode()}"
        self.game = None
