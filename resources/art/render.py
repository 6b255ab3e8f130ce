"""Renders the editor's twelve images from the drawing code in this folder.

    python3 render.py --out DIR [--scale S]

At scale 1 the images have exactly the sizes and frame counts the editor expects;
at scale S every side is S times longer and frames stay stacked top to bottom. The
background is the exception above scale 1: only the part the editor shows (its
window, EDITOR_SIZE) is kept, since the rest of the large 1x texture is never seen
and would cost megabytes of decoded pixels at 3x.
"""

import argparse
import os
import sys

import cairo

from artkit import new_surface
from controls import draw_arrow_button, draw_knob, draw_label_button, draw_round_switch, draw_square_switch
from instrument_panel import draw_panel
from layout import EDITOR_SIZE, IMAGES, frame_size
from panels import draw_background, draw_header, draw_shadow


def frame_drawer(name, scale):
    """The function drawing frame i of the named image into a context scaled to units."""
    width, height = frame_size(name)
    frames = IMAGES[name][3]
    drawers = {
        "background": lambda ctx, i: draw_background(ctx, width, height, scale),
        "button_small": lambda ctx, i: draw_round_switch(ctx, width, i == 1),
        "button_large": lambda ctx, i: draw_square_switch(ctx, width, i == 1),
        "preset_backward": lambda ctx, i: draw_arrow_button(ctx, width, height, True),
        "preset_forward": lambda ctx, i: draw_arrow_button(ctx, width, height, False),
        "preset_load": lambda ctx, i: draw_label_button(ctx, width, height, "LOAD"),
        "preset_save": lambda ctx, i: draw_label_button(ctx, width, height, "SAVE"),
        "knob_large": lambda ctx, i: draw_knob(ctx, width, i / (frames - 1.0)),
        "knob_small": lambda ctx, i: draw_knob(ctx, width, i / (frames - 1.0)),
        "header": lambda ctx, i: draw_header(ctx, width, height),
        "panel": lambda ctx, i: draw_panel(ctx, width, height),
        "shadow": lambda ctx, i: draw_shadow(ctx, width, height),
    }
    return drawers[name]


def render_image(name, scale):
    """The whole image, all frames stacked vertically, as a cairo surface."""
    _, width, height, frames = IMAGES[name]
    frame_width, frame_height = frame_size(name)
    pixel_frame_height = int(round(frame_height * scale))
    strip = cairo.ImageSurface(cairo.FORMAT_ARGB32, int(round(width * scale)), pixel_frame_height * frames)
    target = cairo.Context(strip)
    draw = frame_drawer(name, scale)
    for i in range(frames):
        frame, ctx = new_surface(frame_width, frame_height, scale)
        draw(ctx, i)
        target.set_source_surface(frame, 0, i * pixel_frame_height)
        target.paint()
    if name == "background" and scale != 1:
        return crop(strip, int(round(EDITOR_SIZE[0] * scale)), int(round(EDITOR_SIZE[1] * scale)))
    return strip


def crop(surface, width, height):
    """The top-left width x height of the surface."""
    cut = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    ctx = cairo.Context(cut)
    ctx.set_source_surface(surface, 0, 0)
    ctx.paint()
    return cut


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--out", required=True, help="folder for the PNG files")
    parser.add_argument("--scale", type=float, default=1.0, help="size factor, 1 for the editor's own images")
    parser.add_argument("--only", nargs="*", default=None, help="render only these images (names in layout.py)")
    args = parser.parse_args(argv)
    if args.scale <= 0:
        parser.error("--scale must be positive")
    os.makedirs(args.out, exist_ok=True)
    for name in args.only or IMAGES:
        file_name = IMAGES[name][0]
        render_image(name, args.scale).write_to_png(os.path.join(args.out, file_name))
        print(file_name)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
