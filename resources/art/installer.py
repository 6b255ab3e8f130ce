"""The Windows installer's pictures, drawn from the editor's artwork.

    python3 installer.py --out DIR

Writes Kestrum.ico (the product icon at 16 to 256 pixels, each size drawn on its own so
small sizes stay sharp), wizard.bmp (the welcome and finish pages' picture, 164 x 314) and
header.bmp (the other pages' header picture, 150 x 57), the formats the installer takes.
"""

import argparse
import io
import math
import os

import cairo
from PIL import Image

from artkit import KARMA_RED, SANS, draw_text, rgb, rounded_rect, set_font, vertical_gradient
from controls import draw_knob
from instrument_panel import CAPTION, PRODUCT
from panels import draw_drum_icon, draw_maker_logo

ICON_SIZES = (16, 24, 32, 48, 64, 128, 256)


def draw_icon(ctx):
    """The icon in a 32-unit square: the family's drum emblem on a dark tile with a red rule."""
    rounded_rect(ctx, 1, 1, 30, 30, 6)
    ctx.set_source(vertical_gradient(1, 31, [(0, rgb("#3a3d42")), (1, rgb("#131416"))]))
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgb(*KARMA_RED)
    ctx.stroke()
    ctx.save()
    ctx.translate(16, 18.5)
    ctx.scale(1.2, 1.2)
    draw_drum_icon(ctx, 0, 0)
    ctx.restore()


def surface_to_image(surface):
    buffer = io.BytesIO()
    surface.write_to_png(buffer)
    buffer.seek(0)
    return Image.open(buffer).convert("RGBA")


def render_icon(size):
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = cairo.Context(surface)
    ctx.scale(size / 32.0, size / 32.0)
    draw_icon(ctx)
    return surface_to_image(surface)


def draw_backdrop(ctx, width, height):
    ctx.rectangle(0, 0, width, height)
    ctx.set_source(vertical_gradient(0, height, [(0, rgb("#2b2d31")), (1, rgb("#0f1012"))]))
    ctx.fill()


def backdrop_canvas(width, height):
    """A surface of the given size with the installer's dark backdrop, and its context."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    ctx = cairo.Context(surface)
    draw_backdrop(ctx, width, height)
    return surface, ctx


def render_wizard():
    width, height = 164, 314
    surface, ctx = backdrop_canvas(width, height)
    ctx.save()
    ctx.translate(22, 40)
    draw_knob(ctx, 120, 0.8)
    ctx.restore()
    set_font(ctx, SANS, 24.0, bold=True)
    draw_text(ctx, PRODUCT, width / 2.0, 200, rgb("#eeeff0"), spacing=1.6)
    ctx.rectangle(22, 210, width - 44, 1.6)
    ctx.set_source_rgb(*KARMA_RED)
    ctx.fill()
    set_font(ctx, SANS, 8.6, bold=False)
    for i, line in enumerate(CAPTION.replace("Drum ", "Drum\n").split("\n")):
        draw_text(ctx, line, width / 2.0, 228 + 12 * i, rgb("#9a9ea3"))
    draw_maker_logo(ctx, 12, 290)
    return surface_to_image(surface)


def render_header():
    width, height = 150, 57
    surface, ctx = backdrop_canvas(width, height)
    ctx.save()
    ctx.translate(26, 30)
    ctx.scale(1.6, 1.6)
    draw_drum_icon(ctx, 0, 0)
    ctx.restore()
    set_font(ctx, SANS, 17.0, bold=True)
    draw_text(ctx, PRODUCT, 96, 35, rgb("#eeeff0"), spacing=1.0)
    ctx.rectangle(0, height - 2, width, 2)
    ctx.set_source_rgb(*KARMA_RED)
    ctx.fill()
    return surface_to_image(surface)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", required=True)
    out = parser.parse_args().out
    os.makedirs(out, exist_ok=True)
    icons = [render_icon(size) for size in ICON_SIZES]
    icon_path = os.path.join(out, "Kestrum.ico")
    icons[-1].save(icon_path, format="ICO", sizes=[(s, s) for s in ICON_SIZES], append_images=icons[:-1])
    render_wizard().convert("RGB").save(os.path.join(out, "wizard.bmp"))
    render_header().convert("RGB").save(os.path.join(out, "header.bmp"))
    for name in ("Kestrum.ico", "wizard.bmp", "header.bmp"):
        print(os.path.join(out, name))


if __name__ == "__main__":
    main()
