#!/usr/bin/env python3
"""Draws overview.png: the 54 factory presets' waveforms with their names and loudness, for a
musician to scan at a glance.

Usage: tools/presets/overview.py DIR
DIR holds <preset name>.wav (stereo IEEE float) and features.md, as kestrum-preset-features
--out DIR --wav writes them; overview.png is written there too.
"""
import array
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

COLUMNS, CELL_W, CELL_H, MARGIN, TITLE_H = 6, 320, 112, 8, 34
SHOWN_SECONDS = 1.0
BACKGROUND, PANEL, TEXT, DIM = (24, 26, 30), (36, 39, 45), (230, 232, 235), (150, 155, 165)
FAMILY_COLOURS = {
    "WLCM": (240, 200, 90), "EDM - Electro": (90, 180, 250), "EDM - Noisy": (160, 140, 250),
    "VNTG - KM 808": (250, 140, 90), "VNTG - KM 909": (250, 110, 130), "VNTG - KM SDS": (230, 120, 220),
    "VNTG - Processed": (240, 170, 60), "ACST - Bass Djembe": (120, 210, 120),
    "ACST - Bongo": (90, 220, 190), "ACST - Snare": (200, 220, 110),
}


def read_float_wav(path):
    """Samples of a stereo 32-bit float WAV as one mono list, and its sample rate."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(path + ": not a WAV file")
    pos, rate, channels, samples = 12, 48000, 2, None
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            _, channels, rate = struct.unpack_from("<HHI", body)
        elif tag == b"data":
            samples = array.array("f")
            samples.frombytes(body[:len(body) // 4 * 4])
        pos += 8 + size + (size & 1)
    if samples is None:
        raise ValueError(path + ": no samples")
    mono = [sum(samples[i:i + channels]) / channels for i in range(0, len(samples) - channels + 1, channels)]
    return mono, rate


def read_loudness(features_md):
    loudness = {}
    for line in open(features_md, encoding="utf-8"):
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) == 10 and cells[0].isdigit():
            loudness[cells[1]] = cells[9]
    return loudness


def family_colour(name):
    for prefix, colour in FAMILY_COLOURS.items():
        if name.startswith(prefix):
            return colour
    return TEXT


def draw_cell(draw, font, x0, y0, name, loudness, mono, rate, scale):
    draw.rectangle([x0, y0, x0 + CELL_W - MARGIN, y0 + CELL_H - MARGIN], fill=PANEL)
    draw.text((x0 + 6, y0 + 4), name, fill=TEXT, font=font)
    draw.text((x0 + CELL_W - MARGIN - 86, y0 + 4), loudness + " LUFS", fill=DIM, font=font)
    width, top, height = CELL_W - MARGIN - 12, y0 + 20, CELL_H - MARGIN - 26
    middle = top + height / 2
    shown = mono[:int(SHOWN_SECONDS * rate)]
    per_column = max(1, len(shown) // width)
    colour = family_colour(name)
    for column in range(width):
        chunk = shown[column * per_column:(column + 1) * per_column]
        if not chunk:
            break
        low, high = min(chunk) * scale, max(chunk) * scale
        draw.line([(x0 + 6 + column, middle - high * height / 2), (x0 + 6 + column, middle - low * height / 2)],
                  fill=colour)


def main():
    folder = sys.argv[1]
    loudness = read_loudness(os.path.join(folder, "features.md"))
    names = list(loudness)
    rows = (len(names) + COLUMNS - 1) // COLUMNS
    image = Image.new("RGB", (COLUMNS * CELL_W + MARGIN, TITLE_H + rows * CELL_H + MARGIN), BACKGROUND)
    draw = ImageDraw.Draw(image)
    font = ImageFont.load_default()
    draw.text((MARGIN + 6, 10), "Kestrum factory presets: one hit each (note 38, velocity 127, 48 kHz), first %.1f s, "
              "all drawn at one scale" % SHOWN_SECONDS, fill=TEXT, font=font)
    sounds = [read_float_wav(os.path.join(folder, name + ".wav")) for name in names]
    # One scale for all, so that levels stay comparable: the loudest peak fills its cell.
    scale = 1.0 / max(max(abs(v) for v in mono) for mono, _ in sounds)
    for index, (name, (mono, rate)) in enumerate(zip(names, sounds)):
        x0 = MARGIN + (index % COLUMNS) * CELL_W
        y0 = TITLE_H + (index // COLUMNS) * CELL_H
        draw_cell(draw, font, x0, y0, name, loudness[name], mono, rate, scale)
    image.save(os.path.join(folder, "overview.png"))
    print("overview: %d presets in %s" % (len(names), os.path.join(folder, "overview.png")))


if __name__ == "__main__":
    main()
