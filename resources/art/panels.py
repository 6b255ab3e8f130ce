"""The editor's backdrop images: background, header strip and the shadow behind the panel."""

import math
import os
import random
import re

import cairo

from artkit import (KARMA_RED, SANS, SANS_CONDENSED, draw_text, radial_gradient, rgb, rounded_rect, set_font,
                    soft_shape, text_width, vertical_gradient)
from layout import EDITOR_SIZE, PANEL_ORIGIN

MAKER_WORD, MAKER_SUFFIX = "Quorvex", "Audio"
PROJECT_FILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "CMakeLists.txt")


def product_version():
    """The product's version as its identity takes it: the project version in CMakeLists.txt."""
    with open(PROJECT_FILE) as project:
        match = re.search(r"project\(Kestrum VERSION ([0-9]+\.[0-9]+\.[0-9]+)", project.read())
    if not match:
        raise SystemExit("panels.py: no project version in " + PROJECT_FILE)
    return match.group(1)
FAMILY_NAME, FAMILY_TAG = "SYNTH PERCUSSION", "SERIES"


# ---------------------------------------------------------------- background

def weave_tile(scale, cell):
    """One repeat of a twill weave: four cells, alternately running across and down."""
    size = int(round(2 * cell * scale))
    tile = cairo.ImageSurface(cairo.FORMAT_ARGB32, size, size)
    ctx = cairo.Context(tile)
    ctx.scale(size / (2.0 * cell), size / (2.0 * cell))
    light, dark = rgb("#222428"), rgb("#0f1012")
    for row in range(2):
        for col in range(2):
            x, y = col * cell, row * cell
            across = (row + col) % 2 == 0
            gradient = cairo.LinearGradient(x, y, x + (cell if across else 0), y + (0 if across else cell))
            gradient.add_color_stop_rgba(0, *dark)
            gradient.add_color_stop_rgba(0.5, *light)
            gradient.add_color_stop_rgba(1, *dark)
            ctx.rectangle(x, y, cell, cell)
            ctx.set_source(gradient)
            ctx.fill()
    return tile


def draw_background(ctx, width, height, scale):
    ctx.set_source_rgb(*rgb("#111214")[:3])
    ctx.paint()
    pattern = cairo.SurfacePattern(weave_tile(scale, 3.0))
    pattern.set_extend(cairo.EXTEND_REPEAT)
    pattern.set_matrix(cairo.Matrix(xx=scale, yy=scale))
    ctx.set_source(pattern)
    ctx.paint()
    # A soft pool of light over the visible editor, falling off toward its edges.
    cx, cy = EDITOR_SIZE[0] / 2.0, EDITOR_SIZE[1] * 0.4
    ctx.rectangle(0, 0, width, height)
    ctx.set_source(radial_gradient(cx, cy, 40, 420, [(0, (1, 1, 1, 0.06)), (0.6, (0, 0, 0, 0.15)),
                                                     (1, (0, 0, 0, 0.55))]))
    ctx.fill()


# ---------------------------------------------------------------- header

def draw_maker_logo(ctx, x, cy):
    """The maker's emblem, a ring cut by a red stroke like a Q, followed by the name."""
    r = 8.0
    cx = x + r
    ctx.arc(cx, cy, r, math.radians(-50), math.radians(265))
    ctx.set_line_width(2.6)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source_rgb(*rgb("#e6e7e9")[:3])
    ctx.stroke()
    # A small spike of sound inside the ring.
    ctx.move_to(cx - 4.6, cy)
    for dx, dy in ((-2.4, 0), (-1.2, -3.6), (0.4, 3.8), (1.8, -1.6), (3.0, 0), (4.6, 0)):
        ctx.line_to(cx + dx, cy + dy)
    ctx.set_line_width(1.3)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()
    ctx.move_to(cx + 3.6, cy + 3.6)
    ctx.line_to(cx + 9.2, cy + 9.2)
    ctx.set_line_width(2.8)
    ctx.set_source_rgb(*KARMA_RED)
    ctx.stroke()
    text_x = cx + r + 8
    baseline = cy + 4.8
    set_font(ctx, SANS, 14.0, bold=True)
    text_x += draw_text(ctx, MAKER_WORD, text_x, baseline, rgb("#eeeff0"), align="left", spacing=0.5) + 5
    set_font(ctx, SANS, 14.0, bold=False)
    draw_text(ctx, MAKER_SUFFIX, text_x, baseline, rgb("#9a9ea3"), align="left", spacing=0.5)


def draw_drum_icon(ctx, cx, cy):
    """A snare seen from the side with two crossed sticks on its head: the family's emblem."""
    w, rim = 7.5, 2.4
    head, foot = cy - 1.5, cy + 4.5

    def ellipse(y):
        ctx.save()
        ctx.translate(cx, y)
        ctx.scale(w, rim)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()

    ellipse(foot)
    ctx.rectangle(cx - w, head, 2 * w, foot - head)
    ctx.set_source(vertical_gradient(head, foot + rim, [(0, rgb("#e0383a")), (1, rgb("#8e1216"))]))
    ctx.fill()
    ellipse(head)
    ctx.set_source_rgb(*rgb("#e4e6e8")[:3])
    ctx.fill()
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_line_width(1.3)
    ctx.set_source_rgb(*rgb("#c4c7cb")[:3])
    for side in (-1, 1):
        ctx.move_to(cx + side * 7.5, cy - 10.5)
        ctx.line_to(cx - side * 2.0, head - 0.6)
    ctx.stroke()
    for side in (-1, 1):
        ctx.arc(cx + side * 7.5, cy - 10.5, 1.1, 0, 2 * math.pi)
        ctx.fill()


def draw_family_logo(ctx, right, cy):
    """The product family's mark: a drum emblem, its name and a red tag."""
    set_font(ctx, SANS_CONDENSED, 7.5, bold=True)
    tag_width = text_width(ctx, FAMILY_TAG, 1.0) + 8
    rounded_rect(ctx, right - tag_width, cy - 6, tag_width, 12, 2.5)
    ctx.set_source(vertical_gradient(cy - 6, cy + 6, [(0, rgb("#e0383a")), (1, rgb("#a4151a"))]))
    ctx.fill()
    draw_text(ctx, FAMILY_TAG, right - tag_width / 2.0, cy + 2.8, rgb("#ffffff"), spacing=1.0)
    set_font(ctx, SANS_CONDENSED, 11.0, bold=True)
    name_width = draw_text(ctx, FAMILY_NAME, right - tag_width - 7, cy + 4.0, rgb("#c4c7cb"), align="right",
                           spacing=1.4)
    draw_drum_icon(ctx, right - tag_width - 7 - name_width - 13, cy + 1.5)


def draw_header(ctx, width, height):
    ctx.rectangle(0, 0, width, height)
    ctx.set_source(vertical_gradient(0, height, [(0, rgb("#3a3d42")), (0.08, rgb("#2b2d31")), (1, rgb("#131416"))]))
    ctx.fill()
    # Fine brushed grain, kept to whole rows so the strip stays small.
    grain = random.Random(110)
    for y in range(1, height - 2):
        ctx.rectangle(0, y, width, 1)
        ctx.set_source_rgba(1, 1, 1, grain.uniform(0.0, 0.025))
        ctx.fill()
    ctx.rectangle(0, 0, width, 1)
    ctx.set_source_rgba(1, 1, 1, 0.12)
    ctx.fill()
    ctx.rectangle(0, height - 2, width, 1)
    ctx.set_source_rgb(*KARMA_RED)
    ctx.fill()
    ctx.rectangle(0, height - 1, width, 1)
    ctx.set_source_rgb(0, 0, 0)
    ctx.fill()
    draw_maker_logo(ctx, 12, 14.5)
    draw_family_logo(ctx, width - 12, 14.5)
    # The version, between the two logos, so every screenshot and support request shows it.
    set_font(ctx, SANS_CONDENSED, 8.0, bold=False)
    draw_text(ctx, "VERSION " + product_version(), 220, 18.0, rgb("#8a8e94"), spacing=0.8)


# ---------------------------------------------------------------- shadow

def panel_frame_in_shadow():
    """The panel's rectangle in the shadow image's coordinates (x, y, w, h)."""
    left, top = PANEL_ORIGIN[0] - 0, PANEL_ORIGIN[1] - 55
    return left, top, 450, 360


def draw_shadow(ctx, width, height):
    x, y, w, h = panel_frame_in_shadow()

    def plate(context):
        rounded_rect(context, x + 2, y + 6, w - 4, h - 4, 10)

    soft_shape(ctx, plate, (0, 0, 0, 0.9), 18, steps=24)
    rounded_rect(ctx, x - 4, y - 2, w + 8, h + 10, 10)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.fill()
