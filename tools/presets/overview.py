#!/usr/bin/env python3
"""Draws overview.png: the 54 factory presets' waveforms with their names, onset, mono loss
and loudness, for a musician to scan at a glance.

Usage: tools/presets/overview.py DIR
DIR holds <preset name>.wav (stereo, 24-bit PCM or 32-bit float) and features.md, as
kestrum-preset-features --out DIR --wav writes them; overview.png is written there too.
"""
import array
import os
import struct
import sys

from PIL import Image, ImageDraw, ImageFont

COLUMNS, CELL_W, CELL_H, MARGIN, TITLE_H = 6, 320, 124, 8, 34
SHOWN_SECONDS = 1.0
BACKGROUND, PANEL, TEXT, DIM, WARN = (24, 26, 30), (36, 39, 45), (230, 232, 235), (150, 155, 165), (250, 120, 90)
FAMILY_COLOURS = {
    "WLCM": (240, 200, 90), "EDM - Electro": (90, 180, 250), "EDM - Noisy": (160, 140, 250),
    "VNTG - KM 808": (250, 140, 90), "VNTG - KM 909": (250, 110, 130), "VNTG - KM SDS": (230, 120, 220),
    "VNTG - Processed": (240, 170, 60), "ACST - Bass Djembe": (120, 210, 120),
    "ACST - Bongo": (90, 220, 190), "ACST - Snare": (200, 220, 110),
}
# What the set's check allows; a figure beyond it is drawn in the warning colour.
LATEST_ONSET_MS, MONO_LOSS_LU = 3.0, 3.0


def pcm24_frames(body):
    """24-bit little-endian samples as floats in [-1, 1)."""
    values = array.array("i", bytes(len(body) // 3 * 4))
    for i in range(len(body) // 3):
        values[i] = int.from_bytes(body[3 * i:3 * i + 3], "little", signed=True)
    return [v / 8388608.0 for v in values]


def read_wav(path):
    """Samples of a stereo WAV (PCM 24-bit or IEEE float 32-bit) as one mono list, and its rate."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        raise ValueError(path + ": not a WAV file")
    pos, rate, channels, tag, bits, samples = 12, 48000, 2, 1, 24, None
    while pos + 8 <= len(data):
        chunk, size = data[pos:pos + 4], struct.unpack_from("<I", data, pos + 4)[0]
        body = data[pos + 8:pos + 8 + size]
        if chunk == b"fmt ":
            tag, channels, rate = struct.unpack_from("<HHI", body)
            bits = struct.unpack_from("<H", body, 14)[0]
        elif chunk == b"data":
            if tag == 3 and bits == 32:
                samples = array.array("f")
                samples.frombytes(body[:len(body) // 4 * 4])
            elif tag == 1 and bits == 24:
                samples = pcm24_frames(body)
            else:
                raise ValueError(path + ": neither 24-bit PCM nor 32-bit float")
        pos += 8 + size + (size & 1)
    if samples is None:
        raise ValueError(path + ": no samples")
    mono = [sum(samples[i:i + channels]) / channels for i in range(0, len(samples) - channels + 1, channels)]
    return mono, rate


def read_features(features_md):
    """The first table of features.md, as {preset: {column header: cell}}."""
    rows, header = {}, None
    for line in open(features_md, encoding="utf-8"):
        if not line.startswith("|"):
            if header and rows:
                break
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if header is None:
            header = cells
        elif not cells[0].startswith("---"):
            row = dict(zip(header, cells))
            rows[row["preset"]] = row
    return rows


def family_colour(name):
    for prefix, colour in FAMILY_COLOURS.items():
        if name.startswith(prefix):
            return colour
    return TEXT


def first_number(text):
    return max(float(part) for part in text.replace("/", " ").split())


def draw_cell(draw, font, x0, y0, name, row, mono, rate):
    draw.rectangle([x0, y0, x0 + CELL_W - MARGIN, y0 + CELL_H - MARGIN], fill=PANEL)
    draw.text((x0 + 6, y0 + 4), name, fill=TEXT, font=font)
    loudness = row["loudness 44.1/48/96 (LUFS)"].split("/")[1].strip()
    draw.text((x0 + CELL_W - MARGIN - 86, y0 + 4), loudness + " LUFS", fill=DIM, font=font)
    onset, mono_loss = row["onset L/R (ms)"], row["mono loss (LU)"]
    late = first_number(onset) > LATEST_ONSET_MS
    lossy = first_number(mono_loss) > MONO_LOSS_LU
    draw.text((x0 + 6, y0 + 18), "onset %s ms" % onset, fill=WARN if late else DIM, font=font)
    draw.text((x0 + 150, y0 + 18), "mono loss %s LU" % mono_loss, fill=WARN if lossy else DIM, font=font)
    width, top, height = CELL_W - MARGIN - 12, y0 + 32, CELL_H - MARGIN - 38
    middle = top + height / 2
    shown = mono[:int(SHOWN_SECONDS * rate)]
    per_column = max(1, int(SHOWN_SECONDS * rate) // width)
    colour = family_colour(name)
    for column in range(width):
        chunk = shown[column * per_column:(column + 1) * per_column]
        if not chunk:
            break
        low, high = min(chunk), max(chunk)
        draw.line([(x0 + 6 + column, middle - high * height / 2), (x0 + 6 + column, middle - low * height / 2)],
                  fill=colour)


def main():
    folder = sys.argv[1]
    features = read_features(os.path.join(folder, "features.md"))
    names = list(features)
    rows = (len(names) + COLUMNS - 1) // COLUMNS
    image = Image.new("RGB", (COLUMNS * CELL_W + MARGIN, TITLE_H + rows * CELL_H + MARGIN), BACKGROUND)
    draw = ImageDraw.Draw(image)
    font = ImageFont.load_default()
    draw.text((MARGIN + 6, 10), "Kestrum factory presets: the sample pack's hits (note 38, velocity 127, 48 kHz, "
              "each normalised to -1 dBFS true peak), first %.1f s; onset of the channels and loudness lost in mono "
              "as played by the plug-in" % SHOWN_SECONDS, fill=TEXT, font=font)
    for index, name in enumerate(names):
        mono, rate = read_wav(os.path.join(folder, name + ".wav"))
        x0 = MARGIN + (index % COLUMNS) * CELL_W
        y0 = TITLE_H + (index // COLUMNS) * CELL_H
        draw_cell(draw, font, x0, y0, name, features[name], mono, rate)
    image.save(os.path.join(folder, "overview.png"))
    print("overview: %d presets in %s" % (len(names), os.path.join(folder, "overview.png")))


if __name__ == "__main__":
    main()
