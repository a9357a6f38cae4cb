#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 The Vexa! developers
# Writes the two short chimes the program plays after a search step (22050 Hz, 8-bit mono):
# a rising and a falling pair of notes with a soft decay. Run from this folder.
import math
import struct
import wave

RATE = 22050


def chime(name, notes):
    frames = bytearray()
    for freq in notes:
        n = int(RATE * 0.16)
        for i in range(n):
            t = i / RATE
            level = math.exp(-6.0 * t) * (0.6 * math.sin(2 * math.pi * freq * t)
                                          + 0.25 * math.sin(4 * math.pi * freq * t))
            frames += struct.pack("B", int(128 + 100 * level))
    with wave.open(name, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(1)
        out.setframerate(RATE)
        out.writeframes(bytes(frames))


chime("found-rising.wav", [660.0, 880.0])
chime("found-falling.wav", [880.0, 660.0])
