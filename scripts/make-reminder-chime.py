#!/usr/bin/env python3
"""Makes Almanary's reminder sound, resources/reminder.wav: a soft two-stroke
chime of decaying sine partials, 16-bit mono PCM at 22050 Hz, just under a
second long.

    scripts/make-reminder-chime.py [OUTPUT]   writes the chime (default:
                                              resources/reminder.wav)
    scripts/make-reminder-chime.py --check FILE
                                              exits 0 when FILE is a valid
                                              chime as this script makes it

Only the standard library is used, so anyone can remake the sound.
"""

import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050
SECONDS = 0.95
PEAK = 0.55  # of full scale: clearly heard, never harsh
ATTACK = 0.004  # seconds; a stroke that starts at full level clicks
FADE = 0.06  # seconds of fade at the end, so the file ends in silence

# (start in seconds, fundamental in Hz): G5, then C6 a moment later.
STROKES = ((0.0, 783.99), (0.16, 1046.50))
# (multiple of the fundamental, level, decay time in seconds). The slightly
# stretched upper partials give a bell's shimmer; they die away first.
PARTIALS = ((1.0, 1.0, 0.42), (2.0, 0.30, 0.22), (3.01, 0.10, 0.12), (4.18, 0.05, 0.08))


def stroke(t, start, fundamental):
    """One struck note at time t (zero before it starts)."""
    age = t - start
    if age < 0:
        return 0.0
    level = sum(
        amplitude * math.exp(-age / decay) * math.sin(2 * math.pi * fundamental * ratio * age)
        for ratio, amplitude, decay in PARTIALS
    )
    return level * min(1.0, age / ATTACK)


def samples():
    """The chime as 16-bit integers."""
    count = int(RATE * SECONDS)
    raw = [sum(stroke(i / RATE, s, f) for s, f in STROKES) for i in range(count)]
    scale = PEAK / max(abs(v) for v in raw)
    fade_from = count - int(RATE * FADE)
    out = []
    for i, value in enumerate(raw):
        fade = min(1.0, (count - 1 - i) / (count - 1 - fade_from)) if i >= fade_from else 1.0
        out.append(round(value * scale * fade * 32767))
    return out


def write(path, values):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(struct.pack("<%dh" % len(values), *values))


def check(path):
    """Why the file is not the chime, or None when it is."""
    try:
        with wave.open(str(path), "rb") as wav:
            shape = (wav.getnchannels(), wav.getsampwidth(), wav.getframerate(), wav.getcomptype())
            frames = wav.readframes(wav.getnframes())
    except (OSError, EOFError, wave.Error) as error:
        return "not a readable WAV file: %s" % error
    if shape != (1, 2, RATE, "NONE"):
        return "expected 16-bit mono PCM at %d Hz, found %s" % (RATE, shape)
    found = struct.unpack("<%dh" % (len(frames) // 2), frames)
    expected = samples()
    if len(found) != len(expected):
        return "expected %d samples, found %d" % (len(expected), len(found))
    # One step of rounding may differ between platforms' sine functions.
    worst = max(abs(a - b) for a, b in zip(found, expected))
    if worst > 1:
        return "differs from the chime this script makes (by up to %d)" % worst
    return None


def main(args):
    if args[:1] == ["--check"] and len(args) == 2:
        problem = check(args[1])
        if problem:
            print("%s: %s" % (args[1], problem), file=sys.stderr)
            return 1
        print("%s: a valid reminder chime" % args[1])
        return 0
    if len(args) > 1 or (args and args[0].startswith("-")):
        print(__doc__, file=sys.stderr)
        return 2
    default = Path(__file__).resolve().parent.parent / "resources" / "reminder.wav"
    path = Path(args[0]) if args else default
    write(path, samples())
    print(path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
