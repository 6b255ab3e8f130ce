"""Composes the editor as the instrument draws it, from rendered images, for review.

    python3 preview.py --images DIR --out editor-preview.png [--scale S] [--moved]

Images are placed at the layout's rectangles in drawing order; knobs and
switches show the frame for their default value (or, with --moved, for a set of
other values, switches on). The preset bar's dark field and its name text are
drawn the way the editor draws them (Liberation Sans stands in for Arial).
"""

import argparse
import os
import sys

import cairo

from layout import CONTROLS, EDITOR_SIZE, IMAGES, PRESET_FIELD, PRESET_FIELD_COLOUR, frame_index, frame_size

MOVED_VALUES = {"expand": 1.0, "vel_amp": 1.0, "tonal_attack": 0.25, "tonal_decay": 0.75, "tonal_pitch": 1.0,
                "master_volume": 0.5, "noise_tone": 0.1, "dac": 0.6, "noise_attack": 0.9}


def paint_frame(ctx, surface, left, top, frame, frame_width, frame_height):
    ctx.save()
    ctx.rectangle(left, top, frame_width, frame_height)
    ctx.clip()
    ctx.set_source_surface(surface, left, top - frame * frame_height)
    ctx.paint()
    ctx.restore()


def compose(images, scale, moved):
    width, height = int(EDITOR_SIZE[0] * scale), int(EDITOR_SIZE[1] * scale)
    out = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    ctx = cairo.Context(out)
    for role, image, left, top, default in CONTROLS:
        surface = cairo.ImageSurface.create_from_png(os.path.join(images, IMAGES[image][0]))
        frames = IMAGES[image][3]
        value = MOVED_VALUES.get(role, default) if moved else default
        frame_width, frame_height = (int(round(v * scale)) for v in frame_size(image))
        paint_frame(ctx, surface, int(left * scale), int(top * scale), frame_index(frames, value), frame_width,
                    frame_height)
        if role == "dac":
            draw_preset_bar(ctx, scale)
    return out


def draw_preset_bar(ctx, scale):
    ctx.save()
    ctx.scale(scale, scale)
    left, top, right, bottom = PRESET_FIELD
    alpha, r, g, b = PRESET_FIELD_COLOUR
    ctx.rectangle(left, top, right - left, bottom - top)
    ctx.set_source_rgba(r / 255.0, g / 255.0, b / 255.0, alpha / 255.0)
    ctx.fill()
    ctx.select_font_face("Liberation Sans", cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(20 * 0.75)  # a GDI height of 20 pixels is about 15 pixels of em size
    text = "< Presets Library >"
    extents = ctx.text_extents(text)
    ctx.move_to((left + right) / 2.0 - extents.x_advance / 2.0, 43 + 16)
    ctx.set_source_rgb(100 / 255.0, 100 / 255.0, 100 / 255.0)
    ctx.show_text(text)
    ctx.restore()


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--images", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--scale", type=float, default=1.0)
    parser.add_argument("--moved", action="store_true")
    args = parser.parse_args(argv)
    compose(args.images, args.scale, args.moved).write_to_png(args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
