"""The editor's control images: knob strips, switches and the preset bar's buttons.

Each function draws one frame in 100 % units into a context the caller scaled.
Knob frames differ only in the pointer: body, shading and shadow are drawn the
same way in every frame, so the light stays put while the pointer turns.
"""

import math

import cairo

from artkit import (KARMA_RED_LIT, SANS_CONDENSED, draw_text, radial_gradient, rgb, rounded_rect,
                    set_font, soft_shape, vertical_gradient)

SWEEP_DEGREES = 270.0


def pointer_angle(value):
    """Clockwise angle from straight up, radians: minimum at -135 degrees, maximum at +135."""
    return math.radians(-SWEEP_DEGREES / 2.0 + SWEEP_DEGREES * value)


def polar(cx, cy, angle, radius):
    return cx + math.sin(angle) * radius, cy - math.cos(angle) * radius


def draw_knob(ctx, size, value):
    """A dark knob with a red pointer, size units across, lit from the top left."""
    k = size / 40.0
    c = size / 2.0
    skirt = 17.4 * k
    cap = 13.2 * k

    def disc(context):
        context.arc(c, c + 1.3 * k, skirt - 0.6 * k, 0, 2 * math.pi)

    soft_shape(ctx, disc, (0, 0, 0, 0.75), 2.2 * k, steps=8)

    # Skirt: a short dark cylinder whose rim catches the light above.
    ctx.arc(c, c, skirt, 0, 2 * math.pi)
    ctx.set_source(vertical_gradient(c - skirt, c + skirt, [(0, rgb("#55585d")), (0.45, rgb("#26282b")),
                                                           (1, rgb("#0b0c0d"))]))
    ctx.fill()
    ctx.arc(c, c, skirt - 0.45 * k, math.radians(200), math.radians(340))
    ctx.set_line_width(max(0.6, 0.9 * k))
    ctx.set_source_rgba(1, 1, 1, 0.22)
    ctx.stroke()

    # Scalloped grip: fixed facets read as a machined edge under a fixed light.
    ctx.save()
    ctx.arc(c, c, skirt - 0.8 * k, 0, 2 * math.pi)
    ctx.arc_negative(c, c, cap + 0.8 * k, 2 * math.pi, 0)
    ctx.clip()
    for i in range(32):
        angle = 2 * math.pi * i / 32
        x0, y0 = polar(c, c, angle, cap + 0.5 * k)
        x1, y1 = polar(c, c, angle, skirt)
        ctx.move_to(x0, y0)
        ctx.line_to(x1, y1)
    ctx.set_line_width(max(0.35, 0.55 * k))
    ctx.set_source_rgba(0, 0, 0, 0.35)
    ctx.stroke()
    ctx.restore()

    # Cap: a shallow dome with a broad highlight toward the light.
    ctx.arc(c, c, cap + 0.7 * k, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.fill()
    ctx.arc(c, c, cap, 0, 2 * math.pi)
    ctx.set_source(radial_gradient(c, c, 0, cap * 1.25, [(0, rgb("#6b6f75")), (0.55, rgb("#36393d")),
                                                         (1, rgb("#1a1b1d"))], fx=c - cap * 0.45, fy=c - cap * 0.55))
    ctx.fill()
    # Bevelled cap edge: bright where it faces the light, dark beneath.
    ctx.arc(c, c, cap - 0.45 * k, 0, 2 * math.pi)
    ctx.set_line_width(max(0.6, 0.9 * k))
    ctx.set_source(vertical_gradient(c - cap, c + cap, [(0, (1, 1, 1, 0.45)), (0.5, (1, 1, 1, 0.06)),
                                                       (1, (0, 0, 0, 0.3))]))
    ctx.stroke()

    # Pointer: the only part that turns.
    angle = pointer_angle(value)
    inner, outer = 4.5 * k, skirt - 1.6 * k
    x0, y0 = polar(c, c, angle, inner)
    x1, y1 = polar(c, c, angle, outer)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.move_to(x0, y0)
    ctx.line_to(x1, y1)
    ctx.set_line_width(max(1.6, 3.6 * k))
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.stroke()
    ctx.move_to(x0, y0)
    ctx.line_to(x1, y1)
    ctx.set_line_width(max(1.1, 2.3 * k))
    ctx.set_source_rgb(*KARMA_RED_LIT)
    ctx.stroke()


def draw_square_switch(ctx, size, on):
    """The white push switch with a red lamp; pressed in and lit when on."""
    k = size / 26.0
    inset = (2.2 if on else 1.6) * k
    x = y = inset
    w = size - 2 * inset
    r = 4.0 * k

    def body(context):
        rounded_rect(context, x, y + (0.5 if on else 1.2) * k, w, w, r)

    soft_shape(ctx, body, (0, 0, 0, 0.55 if on else 0.8), (0.9 if on else 1.6) * k, steps=6)
    rounded_rect(ctx, x, y, w, w, r)
    top, bottom = (("#d9dbde", "#eef0f2") if on else ("#ffffff", "#c5c8cc"))
    ctx.set_source(vertical_gradient(y, y + w, [(0, rgb(top)), (1, rgb(bottom))]))
    ctx.fill_preserve()
    ctx.set_line_width(max(0.6, 0.8 * k))
    ctx.set_source_rgba(0, 0, 0, 0.45)
    ctx.stroke()
    if on:
        # Pressed: the upper edge falls into shadow.
        rounded_rect(ctx, x + 0.6 * k, y + 0.6 * k, w - 1.2 * k, w - 1.2 * k, r * 0.8)
        ctx.set_source(vertical_gradient(y, y + w, [(0, (0, 0, 0, 0.22)), (0.35, (0, 0, 0, 0)), (1, (1, 1, 1, 0.3))]))
        ctx.fill()
    else:
        rounded_rect(ctx, x + 0.8 * k, y + 0.8 * k, w - 1.6 * k, w * 0.45, r * 0.8)
        ctx.set_source(vertical_gradient(y, y + w * 0.5, [(0, (1, 1, 1, 0.85)), (1, (1, 1, 1, 0))]))
        ctx.fill()
    draw_lamp(ctx, size / 2.0, size / 2.0 + 0.3 * k, 3.4 * k, on)


def draw_lamp(ctx, cx, cy, r, on):
    """A round red lamp: dull when off, glowing with a hot centre when on."""
    if on:
        ctx.arc(cx, cy, r * 2.0, 0, 2 * math.pi)
        ctx.set_source(radial_gradient(cx, cy, r * 0.6, r * 2.0, [(0, (1.0, 0.25, 0.2, 0.55)), (1, (1.0, 0.2, 0.15, 0))]))
        ctx.fill()
    ctx.arc(cx, cy, r + 0.5, 0, 2 * math.pi)
    ctx.set_source_rgba(0, 0, 0, 0.55)
    ctx.fill()
    if on:
        stops = [(0, rgb("#fff1dc")), (0.35, rgb("#ff5a43")), (1, rgb("#d01c1f"))]
    else:
        stops = [(0, rgb("#7a2a2a")), (0.6, rgb("#4a1214")), (1, rgb("#2a0809"))]
    draw_dome(ctx, cx, cy, r, stops, 0.75 if on else 0.3)


def draw_dome(ctx, cx, cy, r, stops, glint):
    """A glossy round cap lit from the top left: shaded by stops, with a white glint."""
    ctx.arc(cx, cy, r, 0, 2 * math.pi)
    ctx.set_source(radial_gradient(cx, cy, 0, r, stops, fx=cx - r * 0.3, fy=cy - r * 0.35))
    ctx.fill()
    ctx.arc(cx - r * 0.3, cy - r * 0.36, r * 0.31, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, glint)
    ctx.fill()


def draw_round_switch(ctx, size, on):
    """The small red push button: a dark red dome when off, lit bright red when on."""
    k = size / 15.0
    c = size / 2.0
    r = 5.4 * k

    def dome(context):
        context.arc(c, c + (0.4 if on else 0.9) * k, r, 0, 2 * math.pi)

    soft_shape(ctx, dome, (0, 0, 0, 0.7), 1.0 * k, steps=5)
    ctx.arc(c, c, r + 0.6 * k, 0, 2 * math.pi)
    ctx.set_source(vertical_gradient(c - r, c + r, [(0, rgb("#2b2c2e")), (1, rgb("#8a8c90"))]))
    ctx.fill()
    if on:
        stops = [(0, rgb("#ffe0cc")), (0.3, rgb("#ff4b3a")), (0.8, rgb("#d81d20")), (1, rgb("#8e1012"))]
    else:
        stops = [(0, rgb("#b0474a")), (0.45, rgb("#7a1719")), (1, rgb("#3a090a"))]
    draw_dome(ctx, c, c, r, stops, 0.8 if on else 0.35)


def draw_bar_button(ctx, width, height):
    """A dark key of the preset bar, as tall as the bar."""
    rounded_rect(ctx, 0.5, 0.5, width - 1, height - 1, 3.0)
    ctx.set_source(vertical_gradient(0, height, [(0, rgb("#46494e")), (0.5, rgb("#2a2c30")), (1, rgb("#17181a"))]))
    ctx.fill_preserve()
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(0, 0, 0, 0.9)
    ctx.stroke()
    ctx.move_to(3.0, 1.5)
    ctx.line_to(width - 3.0, 1.5)
    ctx.set_line_width(1.0)
    ctx.set_source_rgba(1, 1, 1, 0.16)
    ctx.stroke()


def draw_arrow_button(ctx, width, height, pointing_left):
    draw_bar_button(ctx, width, height)
    cx, cy = width / 2.0, height / 2.0
    tip = -4.0 if pointing_left else 4.0
    ctx.move_to(cx + tip, cy)
    ctx.line_to(cx - tip, cy - 5.0)
    ctx.line_to(cx - tip, cy + 5.0)
    ctx.close_path()
    ctx.set_source_rgba(0, 0, 0, 0.6)
    ctx.save()
    ctx.translate(0, 0.8)
    ctx.fill_preserve()
    ctx.restore()
    ctx.new_path()
    ctx.move_to(cx + tip, cy)
    ctx.line_to(cx - tip, cy - 5.0)
    ctx.line_to(cx - tip, cy + 5.0)
    ctx.close_path()
    ctx.set_source(vertical_gradient(cy - 5, cy + 5, [(0, rgb("#e4e6e8")), (1, rgb("#a4a7ab"))]))
    ctx.fill()


def draw_label_button(ctx, width, height, label):
    draw_bar_button(ctx, width, height)
    set_font(ctx, SANS_CONDENSED, 10.0)
    baseline = height / 2.0 + 3.6
    draw_text(ctx, label, width / 2.0, baseline + 0.8, (0, 0, 0, 0.7), spacing=0.6)
    draw_text(ctx, label, width / 2.0, baseline, rgb("#dcdee0"), spacing=0.6)
