#!/usr/bin/env python3
"""A second reader of a MIDI file: every note-on as "<track> <ms> <channel> <note> <velocity>",
its time from mido's own tempo arithmetic over the file's tempo map (tempos from any track)."""
import sys

import mido

midi = mido.MidiFile(sys.argv[1])
tempos = []  # (tick, microseconds a quarter)
for track in midi.tracks:
    tick = 0
    for msg in track:
        tick += msg.time
        if msg.type == "set_tempo":
            tempos.append((tick, msg.tempo))
tempos.sort(key=lambda t: t[0])


def seconds(tick):
    at, us, total = 0, 500000, 0.0
    for t, tempo in tempos:
        if t >= tick:
            break
        total += mido.tick2second(t - at, midi.ticks_per_beat, us)
        at, us = t, tempo
    return total + mido.tick2second(tick - at, midi.ticks_per_beat, us)


print("type", midi.type, len(midi.tracks))
for n, track in enumerate(midi.tracks):
    tick = 0
    for msg in track:
        tick += msg.time
        if msg.type == "note_on" and msg.velocity > 0:
            print(n, repr(seconds(tick) * 1000.0), msg.channel, msg.note, msg.velocity)
