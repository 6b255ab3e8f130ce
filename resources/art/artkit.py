"""Small drawing helpers shared by the editor's artwork.

Everything is drawn in 100 % units; the caller scales the context, so one source
renders every resolution. Text is turned into outlines with unhinted metrics, so
its shape and width do not change with the scale.
"""

import math

import cairo

# Fonts from Debian's fonts-dejavu-core (free licence, see its copyright file).
SANS = "DejaVu Sans"
SANS_CONDENSED = "DejaVu Sans Condensed"

KARMA_RED = (0.80, 0.11, 0.13)
KARMA_RED_LIT = (1.0, 0.30, 0.26)


def rgb(hex_colour, alpha=1.0):
    """(r, g, b, a) from "#rrggbb"."""
    value = int(hex_colour.lstrip("#"), 16)
    return ((value >> 16) & 255) / 255.0, ((value >> 8) & 255) / 255.0, (value & 255) / 255.0, alpha


def new_surface(width, height, scale):
    """An ARGB surface for an image of width x height units and a context scaled to units."""
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, int(round(width * scale)), int(round(height * scale)))
    ctx = cairo.Context(surface)
    ctx.scale(scale, scale)
    options = cairo.FontOptions()
    options.set_hint_style(cairo.HINT_STYLE_NONE)
    options.set_hint_metrics(cairo.HINT_METRICS_OFF)
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    ctx.set_font_options(options)
    return surface, ctx


def rounded_rect(ctx, x, y, w, h, r):
    r = min(r, w / 2.0, h / 2.0)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def vertical_gradient(y0, y1, stops):
    gradient = cairo.LinearGradient(0, y0, 0, y1)
    for offset, colour in stops:
        gradient.add_color_stop_rgba(offset, *colour)
    return gradient


def radial_gradient(cx, cy, r0, r1, stops, fx=None, fy=None):
    gradient = cairo.RadialGradient(cx if fx is None else fx, cy if fy is None else fy, r0, cx, cy, r1)
    for offset, colour in stops:
        gradient.add_color_stop_rgba(offset, *colour)
    return gradient


def soft_shape(ctx, draw_path, colour, spread, steps=12):
    """A blurred silhouette: the path grown by up to spread units in faint layers.

    Cairo has no blur; stacking strokes of growing width whose alpha falls off
    gives the same soft edge at every scale.
    """
    r, g, b, a = colour
    for i in range(steps, 0, -1):
        width = 2.0 * spread * i / steps
        layer_alpha = a / steps
        draw_path(ctx)
        ctx.set_source_rgba(r, g, b, layer_alpha)
        ctx.set_line_width(width)
        ctx.set_line_join(cairo.LINE_JOIN_ROUND)
        ctx.stroke_preserve()
        ctx.fill()


def set_font(ctx, family, size, bold=True):
    weight = cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL
    ctx.select_font_face(family, cairo.FONT_SLANT_NORMAL, weight)
    ctx.set_font_size(size)


def text_width(ctx, text, spacing=0.0):
    width = 0.0
    for ch in text:
        width += ctx.text_extents(ch).x_advance + spacing
    return width - spacing if text else 0.0


def text_path(ctx, text, x, y, align="centre", spacing=0.0):
    """Adds the outlines of text with its baseline at y; align is left, centre or right of x."""
    width = text_width(ctx, text, spacing)
    if align == "centre":
        x -= width / 2.0
    elif align == "right":
        x -= width
    if spacing == 0.0:
        ctx.move_to(x, y)
        ctx.text_path(text)
        return width
    for ch in text:
        ctx.move_to(x, y)
        ctx.text_path(ch)
        x += ctx.text_extents(ch).x_advance + spacing
    return width


def draw_text(ctx, text, x, y, colour, align="centre", spacing=0.0):
    ctx.new_path()
    width = text_path(ctx, text, x, y, align, spacing)
    ctx.set_source_rgba(*colour)
    ctx.fill()
    return width


def engraved_text(ctx, text, x, y, colour, align="centre", spacing=0.0, light=(1, 1, 1, 0.55)):
    """Text printed on a light panel: a faint highlight one half unit below the ink."""
    draw_text(ctx, text, x, y + 0.6, light, align, spacing)
    return draw_text(ctx, text, x, y, colour, align, spacing)


def screw(ctx, cx, cy, r=4.0):
    """A cross-head panel screw lit from the top left."""
    ctx.arc(cx, cy + 0.6, r + 0.6, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.45)
    ctx.fill()
    ctx.arc(cx, cy, r + 0.4, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.fill()
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source(radial_gradient(cx, cy, 0, r, [(0, rgb("#f2f3f4")), (0.7, rgb("#a9acb0")), (1, rgb("#7d8085"))],
                                   fx=cx - r * 0.4, fy=cy - r * 0.4))
    ctx.fill()
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for angle in (math.radians(30), math.radians(120)):
        dx, dy = math.cos(angle) * r * 0.62, math.sin(angle) * r * 0.62
        ctx.move_to(cx - dx, cy - dy)
        ctx.line_to(cx + dx, cy + dy)
    ctx.set_line_width(r * 0.28)
    ctx.set_source_rgba(0.22, 0.23, 0.25, 0.9)
    ctx.stroke()
