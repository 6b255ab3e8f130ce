"""The light grey instrument panel with its wells and printed labels.

Every well is centred on the rectangle the editor gives its control (see
layout.py), so the printing and the controls line up at every scale.
"""

import math
import random

import cairo

from artkit import (KARMA_RED, SANS, SANS_CONDENSED, draw_text, engraved_text, radial_gradient, rgb, rounded_rect,
                    screw, set_font, text_path, vertical_gradient)
from controls import pointer_angle, polar
from layout import panel_centre

CAPTION = "Hybrid Snare Drum Synthesizer"
PRODUCT = "KESTRUM"
INK = rgb("#26282c")
SOFT_INK = rgb("#4b4f55")

TONAL_COLUMN = [("tonal_attack", "ATTACK"), ("tonal_decay", "DECAY"), ("tonal_pitch", "PITCH"),
                ("tonal_level", "LEVEL")]
NOISE_COLUMN = [("noise_attack", "ATTACK"), ("noise_decay", "DECAY"), ("noise_tone", "TONE"),
                ("noise_level", "LEVEL")]


def draw_plate(ctx, width, height):
    rounded_rect(ctx, 0, 0, width, height, 6)
    ctx.set_source(vertical_gradient(0, height, [(0, rgb("#dcdee0")), (1, rgb("#b5b8bb"))]))
    ctx.fill()
    # Brushed aluminium: faint horizontal streaks of varying brightness, whole rows.
    grain = random.Random(111)
    ctx.save()
    rounded_rect(ctx, 0, 0, width, height, 6)
    ctx.clip()
    for y in range(height):
        shade = grain.uniform(-1.0, 1.0)
        ctx.rectangle(0, y, width, 1)
        if shade > 0:
            ctx.set_source_rgba(1, 1, 1, 0.035 * shade)
        else:
            ctx.set_source_rgba(0, 0, 0, -0.025 * shade)
        ctx.fill()
    ctx.restore()
    # Bevelled edge: light above, shade below.
    rounded_rect(ctx, 0.5, 0.5, width - 1, height - 1, 5.5)
    ctx.set_source(vertical_gradient(0, height, [(0, (1, 1, 1, 0.9)), (0.5, (1, 1, 1, 0.15)), (1, (0, 0, 0, 0.35))]))
    ctx.set_line_width(1.0)
    ctx.stroke()
    for x, y in ((11, 11), (width - 11, 11), (11, height - 11), (width - 11, height - 11)):
        screw(ctx, x, y)


def draw_section(ctx, x, y, w, h):
    """A shallow recessed plate that groups one part of the sound."""
    rounded_rect(ctx, x, y + 0.8, w, h, 7)
    ctx.set_source_rgba(1, 1, 1, 0.6)
    ctx.fill()
    rounded_rect(ctx, x, y, w, h, 7)
    ctx.set_source(vertical_gradient(y, y + h, [(0, rgb("#a9acb0")), (0.04, rgb("#c4c7ca")), (1, rgb("#cdd0d3"))]))
    ctx.fill()
    rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, 6.5)
    ctx.set_source_rgba(0, 0, 0, 0.18)
    ctx.set_line_width(1.0)
    ctx.stroke()


def draw_knob_well(ctx, cx, cy, radius, tick_inner, tick_outer, ticks):
    """A round recess for a knob with a printed scale over the knob's sweep."""
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for i in range(ticks):
        value = i / (ticks - 1.0)
        angle = pointer_angle(value)
        major = i in (0, ticks - 1, (ticks - 1) // 2)
        outer = tick_outer + (0.8 if major else 0.0)
        x0, y0 = polar(cx, cy, angle, tick_inner)
        x1, y1 = polar(cx, cy, angle, outer)
        ctx.move_to(x0, y0 + 0.6)
        ctx.line_to(x1, y1 + 0.6)
        ctx.set_source_rgba(1, 1, 1, 0.6)
        ctx.set_line_width(1.2 if major else 0.9)
        ctx.stroke()
        ctx.move_to(x0, y0)
        ctx.line_to(x1, y1)
        ctx.set_source_rgba(*(INK if major else SOFT_INK))
        ctx.stroke()
    ctx.arc(cx, cy + 0.7, radius, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.7)
    ctx.fill()
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.set_source(vertical_gradient(cy - radius, cy + radius, [(0, rgb("#7c8085")), (1, rgb("#c9ccd0"))]))
    ctx.fill()
    ctx.arc(cx, cy + 0.5, radius - 1.2, 0, 2 * math.pi)
    ctx.set_source(radial_gradient(cx, cy, radius * 0.5, radius, [(0, rgb("#a7aaae")), (1, rgb("#8e9296"))]))
    ctx.fill()


def draw_switch_well(ctx, cx, cy, half, corner):
    rounded_rect(ctx, cx - half, cy - half + 0.7, 2 * half, 2 * half, corner)
    ctx.set_source_rgba(1, 1, 1, 0.7)
    ctx.fill()
    rounded_rect(ctx, cx - half, cy - half, 2 * half, 2 * half, corner)
    ctx.set_source(vertical_gradient(cy - half, cy + half, [(0, rgb("#5f6368")), (1, rgb("#9da1a5"))]))
    ctx.fill()


def label_font(ctx, size=8.5):
    set_font(ctx, SANS_CONDENSED, size, bold=True)


def draw_column(ctx, column):
    for role, label in column:
        cx, cy = panel_centre(role)
        draw_knob_well(ctx, cx, cy, 20.8, 23.0, 26.5, 11)
        label_font(ctx)
        engraved_text(ctx, label, cx, cy + 35.5, INK, spacing=1.2)


def draw_title(ctx, cx):
    set_font(ctx, SANS, 8.6, bold=False)
    engraved_text(ctx, CAPTION, cx, 17.5, SOFT_INK, spacing=0.5)
    set_font(ctx, SANS, 25.0, bold=True)
    draw_text(ctx, PRODUCT, cx, 46.6, (1, 1, 1, 0.75), spacing=2.2)
    ctx.new_path()
    text_path(ctx, PRODUCT, cx, 45.8, spacing=2.2)
    ctx.set_source(vertical_gradient(27, 46, [(0, rgb("#3b3e43")), (1, rgb("#141517"))]))
    ctx.fill()
    # Red rule under the logo, broken in the middle by a small diamond.
    ctx.rectangle(cx - 62, 52, 54, 1.6)
    ctx.rectangle(cx + 8, 52, 54, 1.6)
    ctx.set_source_rgb(*KARMA_RED)
    ctx.fill()
    ctx.move_to(cx, 49.6)
    ctx.line_to(cx + 3.2, 52.8)
    ctx.line_to(cx, 56.0)
    ctx.line_to(cx - 3.2, 52.8)
    ctx.close_path()
    ctx.fill()


def draw_circuit_board(ctx, cx, top, bottom):
    """A small circuit board with a chip marked DAC: the distortion stage's picture."""
    w, h = 66.0, bottom - top
    x = cx - w / 2.0
    rounded_rect(ctx, x, top + 0.7, w, h, 3)
    ctx.set_source_rgba(1, 1, 1, 0.6)
    ctx.fill()
    rounded_rect(ctx, x, top, w, h, 3)
    ctx.set_source(vertical_gradient(top, bottom, [(0, rgb("#1f5a3c")), (1, rgb("#13402a"))]))
    ctx.fill()
    chip_w, chip_h = 26.0, 13.0
    chip_x, chip_y = cx - chip_w / 2.0, top + (h - chip_h) / 2.0
    # Copper traces leaving the chip's pins toward the board's edges.
    ctx.set_line_width(0.9)
    ctx.set_source_rgba(*rgb("#c9a24a", 0.9))
    for i in range(4):
        px = chip_x + 4.0 + i * 6.0
        ctx.move_to(px, chip_y)
        ctx.line_to(px, chip_y - 3.0)
        ctx.line_to(px + (-6.0 if i < 2 else 6.0), top + 2.5)
        ctx.move_to(px, chip_y + chip_h)
        ctx.line_to(px, chip_y + chip_h + 3.0)
        ctx.line_to(px + (-6.0 if i < 2 else 6.0), bottom - 2.5)
    for side in (-1, 1):
        ex = cx + side * (w / 2.0 - 6.0)
        ctx.move_to(cx + side * chip_w / 2.0, chip_y + chip_h / 2.0)
        ctx.line_to(ex, chip_y + chip_h / 2.0)
    ctx.stroke()
    for side in (-1, 1):
        for dy in (-7.0, 0.0, 7.0):
            ctx.arc(cx + side * (w / 2.0 - 5.0), top + h / 2.0 + dy, 1.7, 0, 2 * math.pi)
            ctx.set_source_rgba(*rgb("#d7b45a"))
            ctx.fill()
            ctx.arc(cx + side * (w / 2.0 - 5.0), top + h / 2.0 + dy, 0.7, 0, 2 * math.pi)
            ctx.set_source_rgba(*rgb("#13402a"))
            ctx.fill()
    # Chip body with its pins.
    ctx.set_source_rgba(*rgb("#b8bcc0"))
    for i in range(4):
        px = chip_x + 4.0 + i * 6.0
        ctx.rectangle(px - 1.1, chip_y - 1.6, 2.2, 1.8)
        ctx.rectangle(px - 1.1, chip_y + chip_h - 0.2, 2.2, 1.8)
    ctx.fill()
    rounded_rect(ctx, chip_x, chip_y, chip_w, chip_h, 1.2)
    ctx.set_source(vertical_gradient(chip_y, chip_y + chip_h, [(0, rgb("#34363a")), (1, rgb("#121315"))]))
    ctx.fill()
    ctx.arc(chip_x + 2.6, chip_y + 2.6, 0.9, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.25)
    ctx.fill()
    label_font(ctx, 8.0)
    draw_text(ctx, "DAC", cx, chip_y + chip_h / 2.0 + 2.9, rgb("#eef0f2"), spacing=1.0)


def draw_divider(ctx, cx, y, half=56.0):
    """A short engraved rule separating the centre column's groups."""
    for offset, colour in ((0.0, (0, 0, 0, 0.22)), (1.0, (1, 1, 1, 0.6))):
        ctx.rectangle(cx - half, y + offset, 2 * half, 1.0)
        ctx.set_source_rgba(*colour)
        ctx.fill()


def draw_centre(ctx, cx):
    draw_title(ctx, cx)
    dac_x, dac_y = panel_centre("dac")
    draw_circuit_board(ctx, cx, 60.0, 90.0)
    draw_knob_well(ctx, dac_x, dac_y, 10.6, 11.8, 14.0, 7)

    expand_x, expand_y = panel_centre("expand")
    draw_switch_well(ctx, expand_x, expand_y, 14.5, 5.5)
    label_font(ctx)
    engraved_text(ctx, "EXPAND", expand_x, expand_y + 25.5, INK, spacing=1.2)

    master_x, master_y = panel_centre("master_volume")
    draw_divider(ctx, cx, (expand_y + 25.5 + master_y - 27.3) / 2.0)
    draw_divider(ctx, cx, (master_y + 35.5 + panel_centre("tonal_level")[1] - 6.0) / 2.0)
    draw_knob_well(ctx, master_x, master_y, 20.8, 23.0, 26.5, 11)
    label_font(ctx)
    engraved_text(ctx, "MASTER VOLUME", master_x, master_y + 35.5, INK, spacing=1.2)

    draw_mix_caption(ctx, cx, panel_centre("tonal_level")[1] + 3.0)

    vel_x, vel_y = panel_centre("vel_amp")
    ctx.arc(vel_x, vel_y + 0.7, 9.2, 0, 2 * math.pi)
    ctx.set_source_rgba(1, 1, 1, 0.7)
    ctx.fill()
    ctx.arc(vel_x, vel_y, 9.2, 0, 2 * math.pi)
    ctx.set_source(vertical_gradient(vel_y - 9, vel_y + 9, [(0, rgb("#5f6368")), (1, rgb("#9da1a5"))]))
    ctx.fill()
    label_font(ctx)
    engraved_text(ctx, "VEL", vel_x - 14.0, vel_y + 3.1, INK, align="right", spacing=1.2)
    engraved_text(ctx, "AMP", vel_x + 14.0, vel_y + 3.1, INK, align="left", spacing=1.2)


def draw_mix_caption(ctx, cx, baseline):
    """TONAL / NOISE between the two level knobs, with arrows toward each column."""
    label_font(ctx)
    half = engraved_text(ctx, "TONAL / NOISE", cx, baseline, INK, spacing=1.2) / 2.0
    mid = baseline - 3.1
    ctx.set_source_rgb(*KARMA_RED)
    for side in (-1, 1):
        start, tip = cx + side * (half + 4.0), cx + side * (half + 17.0)
        ctx.move_to(start, mid)
        ctx.line_to(tip - side * 4.0, mid)
        ctx.set_line_width(1.2)
        ctx.set_line_cap(cairo.LINE_CAP_BUTT)
        ctx.stroke()
        ctx.move_to(tip, mid)
        ctx.line_to(tip - side * 5.0, mid - 3.0)
        ctx.line_to(tip - side * 5.0, mid + 3.0)
        ctx.close_path()
        ctx.fill()


def draw_panel(ctx, width, height):
    draw_plate(ctx, width, height)
    tonal_x = panel_centre("tonal_attack")[0]
    noise_x = panel_centre("noise_attack")[0]
    for cx in (tonal_x, noise_x):
        draw_section(ctx, cx - 50, 8, 100, height - 16)
    draw_column(ctx, TONAL_COLUMN)
    draw_column(ctx, NOISE_COLUMN)
    draw_centre(ctx, width / 2.0)
