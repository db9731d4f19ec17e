#!/usr/bin/env python3
"""Draws and composes every picture and sound of the Seedling example.

The game carries no art of unknown origin: this script makes it all, with
nothing but the standard library (PNG through zlib, WAV through wave, a
standard MIDI file by hand). Run it from anywhere; it rewrites the files in
sprites/, backgrounds/ and sounds/ beside it, the same bytes every time.
"""
import math
import os
import random
import struct
import wave
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# ---------------------------------------------------------------- pictures

class Picture:
    def __init__(self, w, h, fill=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.px = [list(fill) for _ in range(w * h)]

    def put(self, x, y, c):
        x, y = int(x), int(y)
        if 0 <= x < self.w and 0 <= y < self.h:
            if len(c) == 3:
                c = (*c, 255)
            self.px[y * self.w + x] = list(c)

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1):
            for x in range(x0, x1):
                self.put(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(int(cy - r) - 1, int(cy + r) + 2):
            for x in range(int(cx - r) - 1, int(cx + r) + 2):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.put(x, y, c)

    def save(self, path):
        raw = b"".join(b"\0" + bytes(v for p in self.px[y * self.w:(y + 1) * self.w] for v in p)
                       for y in range(self.h))

        def chunk(kind, data):
            return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 6, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def sprite_frames(name, frames):
    for i, pic in enumerate(frames):
        pic.save(os.path.join(HERE, "sprites", name, f"{i}.png"))


def player(frame):
    """A sprout: a round green body, two leaves that sway, eyes, feet that step."""
    p = Picture(16, 16)
    sway = (-1, 0, 1, 0)[frame]
    p.disc(8, 10, 5, (60, 170, 80))
    p.disc(7, 9, 3.2, (95, 205, 110))
    p.rect(7, 2, 9, 6, (50, 120, 50))
    p.disc(5 + sway, 3, 2.2, (120, 220, 90))
    p.disc(11 + sway, 3, 2.2, (120, 220, 90))
    for ex in (6, 10):
        p.put(ex, 9, (20, 30, 20))
    step = frame % 2
    p.rect(5, 15 - step, 7, 16, (90, 60, 30))
    p.rect(9, 14 + step, 11, 15 + step, (90, 60, 30))
    return p


def seed(frame):
    p = Picture(12, 12)
    p.disc(6, 6.5, 3.6, (200, 140, 50))
    p.disc(5.3, 5.6, 2, (240, 190, 90))
    gx, gy = ((3, 3), (8, 3), (9, 8), (3, 8))[frame]
    p.put(gx, gy, (255, 255, 220))
    p.put(gx + 1, gy, (255, 255, 220))
    p.put(gx, gy + 1, (255, 255, 220))
    return p


def drone(frame):
    p = Picture(16, 16)
    p.disc(8, 9, 5, (150, 60, 170))
    p.disc(8, 9, 3, (210, 110, 220))
    p.put(7, 8, (255, 240, 80))
    p.put(9, 8, (255, 240, 80))
    blade = (40, 40, 50)
    if frame == 0:
        p.rect(2, 2, 14, 3, blade)
    else:
        p.rect(7, 1, 9, 4, blade)
        p.rect(4, 2, 12, 3, blade)
    p.rect(7, 3, 9, 5, blade)
    return p


def wall():
    p = Picture(16, 16, (96, 96, 110, 255))
    rnd = random.Random(7)
    for y in range(16):
        for x in range(16):
            shade = rnd.randint(-10, 10)
            p.put(x, y, (96 + shade, 96 + shade, 110 + shade))
    for y in (0, 8):
        p.rect(0, y, 16, y + 1, (60, 60, 72))
    for x, y in ((0, 1), (8, 9)):
        p.rect(x, y, x + 1, y + 7, (60, 60, 72))
    p.rect(0, 15, 16, 16, (50, 50, 60))
    return p


def star(frame):
    p = Picture(16, 16)
    r_out, r_in = (7, 6)[frame], 3
    pts = []
    for k in range(10):
        r = r_out if k % 2 == 0 else r_in
        a = -math.pi / 2 + k * math.pi / 5
        pts.append((8 + r * math.cos(a), 8 + r * math.sin(a)))
    for y in range(16):
        for x in range(16):
            inside = False
            j = len(pts) - 1
            for i in range(len(pts)):
                (xi, yi), (xj, yj) = pts[i], pts[j]
                if (yi > y + 0.5) != (yj > y + 0.5) and x + 0.5 < (xj - xi) * (y + 0.5 - yi) / (yj - yi) + xi:
                    inside = not inside
                j = i
            if inside:
                p.put(x, y, (255, 220, 60) if frame == 0 else (255, 245, 150))
    return p


def grass():
    p = Picture(32, 32)
    rnd = random.Random(3)
    for y in range(32):
        for x in range(32):
            g = rnd.randint(-8, 8)
            p.put(x, y, (58 + g // 2, 120 + g, 62 + g // 2))
    for _ in range(18):
        x, y = rnd.randrange(32), rnd.randrange(32)
        p.put(x, y, (80, 150, 80))
        p.put(x, (y + 1) % 32, (70, 140, 72))
    return p


def decor():
    """Four 16x16 tiles: a red flower, a yellow flower, pebbles, a tuft."""
    p = Picture(64, 16)
    for ox, petal in ((0, (220, 70, 70)), (16, (240, 210, 60))):
        for dx, dy in ((0, -3), (3, 0), (0, 3), (-3, 0)):
            p.disc(ox + 8 + dx, 8 + dy, 2.2, petal)
        p.disc(ox + 8, 8, 1.6, (250, 240, 200))
    for cx, cy, r in ((37, 7, 2.5), (42, 10, 2), (36, 11, 1.5)):
        p.disc(cx, cy, r, (150, 150, 140))
    for k in range(5):
        for h in range(6 - abs(k - 2)):
            p.put(54 + 2 * k, 13 - h, (40, 110, 45))
    return p


# ---------------------------------------------------------------- sounds

RATE = 22050


def save_wav(name, samples):
    path = os.path.join(HERE, "sounds", name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(struct.pack("<h", int(max(-1, min(1, s)) * 30000)) for s in samples))


def blip(f0, f1, seconds, wave_shape="square"):
    out = []
    phase = 0.0
    n = int(RATE * seconds)
    for i in range(n):
        t = i / n
        phase += (f0 + (f1 - f0) * t) / RATE
        v = (1 if phase % 1 < 0.5 else -1) if wave_shape == "square" else math.sin(2 * math.pi * phase)
        out.append(0.35 * v * (1 - t) ** 1.5)
    return out


def hurt():
    rnd = random.Random(5)
    n = int(RATE * 0.3)
    out, level = [], 0.0
    for i in range(n):
        level = 0.7 * level + 0.3 * rnd.uniform(-1, 1)  # noise, softened
        out.append(0.8 * level * (1 - i / n))
    return out


def save_midi(name, notes, tempo_us=500000):
    """A one-track standard MIDI file: (start beat, length in beats, pitch)."""
    tpq = 96
    events = []
    for start, length, pitch, channel, velocity in notes:
        events.append((int(start * tpq), 0x90 | channel, pitch, velocity))
        events.append((int((start + length) * tpq) - 1, 0x80 | channel, pitch, 0))
    events.sort(key=lambda e: (e[0], e[1] & 0xF0 == 0x90))

    def vlq(v):
        b = [v & 0x7F]
        while v > 0x7F:
            v >>= 7
            b.insert(0, (v & 0x7F) | 0x80)
        return bytes(b)

    track = b"\x00\xff\x51\x03" + tempo_us.to_bytes(3, "big")
    track += b"\x00\xc0\x0b" + b"\x00\xc1\x20"  # vibraphone lead, acoustic bass
    now = 0
    for t, status, pitch, velocity in events:
        track += vlq(t - now) + bytes([status, pitch, velocity])
        now = t
    track += b"\x00\xff\x2f\x00"
    path = os.path.join(HERE, "sounds", name)
    with open(path, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, tpq) + b"MTrk" + struct.pack(">I", len(track)) + track)


def music():
    melody = [72, 76, 79, 76, 74, 77, 81, 77, 72, 76, 79, 84, 83, 79, 74, 71]
    bass = [48, 48, 53, 53, 48, 48, 55, 55]
    notes = [(i * 0.5, 0.45, p, 0, 80) for i, p in enumerate(melody)]
    notes += [(i, 0.9, p, 1, 70) for i, p in enumerate(bass)]
    return notes


def main():
    sprite_frames("spr_player", [player(k) for k in range(4)])
    sprite_frames("spr_seed", [seed(k) for k in range(4)])
    sprite_frames("spr_drone", [drone(k) for k in range(2)])
    sprite_frames("spr_wall", [wall()])
    sprite_frames("spr_star", [star(k) for k in range(2)])
    grass().save(os.path.join(HERE, "backgrounds", "bg_grass.png"))
    decor().save(os.path.join(HERE, "backgrounds", "bg_decor.png"))
    save_wav("snd_pickup.wav", blip(660, 1320, 0.12))
    save_wav("snd_star.wav", blip(523, 1046, 0.1) + blip(784, 1568, 0.18))
    save_wav("snd_hurt.wav", hurt())
    save_midi("snd_music.mid", music())


if __name__ == "__main__":
    main()
