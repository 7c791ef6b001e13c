#!/usr/bin/env python3
"""Runs a copy of the real program with SDL's disk audio driver for a few seconds of output, ends
it with SIGTERM, and checks that what the device was given holds the background music on both
channels all along.

Usage: music_e2e.py PROGRAM
"""
import array
import math
import os
import signal
import subprocess
import sys
import tempfile

from e2e_support import clean_up, copy_program, wait_for

# The device is opened as float stereo; the disk driver names no rate of its own, so the
# program's fallback of 48000 frames a second applies.
RATE = 48000
FRAME_BYTES = 2 * 4
SECONDS = 3
SKIP_FRAMES = RATE // 10            # the music may fade in during its first buffers
BLOCK_FRAMES = RATE // 2
MIN_RMS = 0.01                      # the music plays at about 0.03
MIN_BLOCK_RMS = 0.005


def rms(samples):
    """Root mean square around the mean, so that a stuck offset does not count as sound."""
    mean = sum(samples) / len(samples)
    return math.sqrt(sum((x - mean) ** 2 for x in samples) / len(samples))


def onset_frame(data):
    """The first frame that is not exact silence. The device runs before the music is loaded,
    and on a busy machine that takes a good part of a second."""
    return (len(data) - len(data.lstrip(b"\0"))) // FRAME_BYTES


def enough_music(data):
    """True once the file holds the wanted stretch of sound after the onset."""
    return len(data) // FRAME_BYTES >= onset_frame(data) + SKIP_FRAMES + SECONDS * RATE


def check_music(data):
    assert len(data) % FRAME_BYTES == 0, len(data)
    samples = array.array("f")
    samples.frombytes(data)
    first = onset_frame(data) + SKIP_FRAMES
    print(f"sound from frame {onset_frame(data)}")
    samples = samples[first * 2:]
    assert all(math.isfinite(x) for x in samples), "samples that are not numbers"
    frames = len(samples) // 2
    assert frames >= BLOCK_FRAMES, f"only {frames} frames of sound"
    for channel in (0, 1):
        whole = rms(samples[channel::2])
        print(f"channel {channel}: rms {whole:.4f} over {frames} frames")
        assert whole > MIN_RMS, f"channel {channel} is silent: {whole}"
        # Background music goes on all the time; a few effects alone leave silent stretches.
        blocks = [rms(samples[start * 2 + channel:(start + BLOCK_FRAMES) * 2:2])
                  for start in range(0, frames - BLOCK_FRAMES + 1, BLOCK_FRAMES)]
        assert blocks and min(blocks) > MIN_BLOCK_RMS, f"channel {channel} blocks: {blocks}"


def main():
    folder = tempfile.mkdtemp(prefix="morvast_music_")
    program = copy_program(sys.argv[1], folder)
    raw = os.path.join(folder, "out.raw")
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", SDL_AUDIODRIVER="disk",
               SDL_DISKAUDIOFILE=raw)
    game = None
    try:
        game = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.PIPE)
        # The driver writes at the pace of a real device; wait for the data, not for the clock.
        def written():
            with open(raw, "rb") as f:
                return f.read()
        wait_for(lambda: game.poll() is not None
                 or os.path.exists(raw) and enough_music(written()), 45,
                 "three seconds of audio after the music starts")
        assert game.poll() is None, f"program ended early: {game.stderr.read().decode()}"
        game.send_signal(signal.SIGTERM)
        try:
            code = game.wait(timeout=15)
        except subprocess.TimeoutExpired:
            raise AssertionError("the program does not end on SIGTERM") from None
        assert code in (0, -signal.SIGTERM), f"program ended with {code}"
        game = None
        check_music(open(raw, "rb").read())
        return 0
    finally:
        clean_up(game, folder)


if __name__ == "__main__":
    sys.exit(main())
