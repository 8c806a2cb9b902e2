#!/usr/bin/env python3
"""Writes the starting gun: a short, sharp report with a decaying rumble,
as 16-bit mono WAV at 22050 Hz. Deterministic; run it again to remake
src/app/resources/gun.wav."""
import math
import random
import struct
import sys
import wave

RATE = 22050
SECONDS = 1.0


def samples():
    rng = random.Random(1852)
    low = 0.0
    for n in range(int(RATE * SECONDS)):
        t = n / RATE
        noise = rng.uniform(-1, 1)
        low += (noise - low) * 0.08  # a low-passed rumble under the crack
        crack = noise * math.exp(-t * 60)
        rumble = low * 3.0 * math.exp(-t * 5)
        thump = math.sin(2 * math.pi * 55 * t) * math.exp(-t * 12)
        value = 0.6 * crack + 0.5 * rumble + 0.4 * thump
        yield max(-1.0, min(1.0, value))


def main(path):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(v * 32000)) for v in samples()))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/resources/gun.wav")
