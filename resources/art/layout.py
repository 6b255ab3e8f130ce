"""Where the editor puts its images, in editor pixels at 100 %.

The instrument derives each control's rectangle from its image: left and top are
fixed, right = left + image width, bottom = top + image height / frames. The
panel artwork prints its wells and labels around the same rectangles, so both
are computed here from one table instead of being typed twice.
"""

EDITOR_SIZE = (500, 480)

# name: (file name, width, height, frames)
IMAGES = {
    "background": ("qa_background_0002.png", 1000, 1000, 1),
    "button_small": ("qa_button_0022_red.png", 15, 30, 2),
    "button_large": ("qa_button_0030_white.png", 26, 52, 2),
    "preset_backward": ("qa_button_preset_backward_0001.png", 20, 25, 1),
    "preset_forward": ("qa_button_preset_forward_0001.png", 20, 25, 1),
    "preset_load": ("qa_button_preset_load_0001.png", 40, 25, 1),
    "preset_save": ("qa_button_preset_save_0001.png", 40, 25, 1),
    "knob_large": ("qa_knob_0018_karmared.png", 40, 3960, 99),
    "knob_small": ("qa_knob_0022_karmared.png", 20, 1980, 99),
    "header": ("qa_panel_header_0002.png", 500, 30, 1),
    "panel": ("qa_panel_kestrumsynth_0001.png", 450, 360, 1),
    "shadow": ("qa_panel_rack4hu_shadow_0001.png", 500, 410, 1),
}

# Controls that show an image, in drawing order: (role, image, left, top, default value).
# Default values are the parameters' normalised defaults.
CONTROLS = [
    ("background", "background", 0, 0, 0.0),
    ("header", "header", 0, 0, 0.0),
    ("shadow", "shadow", 0, 55, 0.0),
    ("panel", "panel", 25, 80, 0.0),
    ("expand", "button_large", 237, 210, 0.0),
    ("vel_amp", "button_small", 252, 415, 0.0),
    ("tonal_level", "knob_large", 95, 371, 1.0),
    ("tonal_attack", "knob_large", 95, 119, 0.0),
    ("tonal_decay", "knob_large", 95, 203, 0.5),
    ("tonal_pitch", "knob_large", 95, 287, 0.0),
    ("master_volume", "knob_large", 230, 287, 0.8),
    ("noise_level", "knob_large", 365, 371, 1.0),
    ("noise_attack", "knob_large", 365, 119, 0.0),
    ("noise_decay", "knob_large", 365, 203, 0.5),
    ("noise_tone", "knob_large", 365, 287, 0.5),
    ("dac", "knob_small", 240, 178, 0.0),
    ("preset_backward", "preset_backward", 40, 40, 0.0),
    ("preset_forward", "preset_forward", 440, 40, 0.0),
    ("preset_load", "preset_load", 0, 40, 0.0),
    ("preset_save", "preset_save", 460, 40, 0.0),
]

# The dark field of the preset bar (a filled panel control, not an image) and its colour (A, R, G, B).
PRESET_FIELD = (60, 40, 440, 65)
PRESET_FIELD_COLOUR = (140, 0, 0, 0)
PANEL_ORIGIN = (25, 80)


def frame_size(image):
    """Width and height of one frame of the image."""
    _, width, height, frames = IMAGES[image]
    return width, height // frames


def control_rect(role):
    """(left, top, right, bottom) of the control, editor pixels, right and bottom exclusive."""
    for name, image, left, top, _ in CONTROLS:
        if name == role:
            width, height = frame_size(image)
            return left, top, left + width, top + height
    raise KeyError(role)


def panel_rect(role):
    """The control's rectangle in the panel image's own coordinates."""
    left, top, right, bottom = control_rect(role)
    x, y = PANEL_ORIGIN
    return left - x, top - y, right - x, bottom - y


def panel_centre(role):
    left, top, right, bottom = panel_rect(role)
    return (left + right) / 2.0, (top + bottom) / 2.0


def frame_index(frames, value):
    """Zero-based frame a multi-frame control shows for a normalised value."""
    index = int((frames - 1) * value + 0.5)
    return max(0, min(frames - 1, index))
