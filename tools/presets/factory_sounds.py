"""The design of Kestrum's factory sounds, in the units a sound designer thinks in.

Each sound is described by what it should do, and generate-presets turns that into the
instrument's eleven preset values with the engine's own mappings:

  pitch_hz       tonal base pitch f0 (100 to 400 Hz). The same control sets how far the
                 pitch falls with the tonal envelope: low pitches bend far (floor ratio
                 (f0 - 100) / 300), high ones hardly at all.
  tone_s         tonal decay time (0.049 to 0.4 s)
  noise          noise level (0 to 1)
  noise_s        noise decay time (0.001 to 0.9 s)
  brightness     noise filter tone: 0 dark low-pass (about 300 Hz), 0.5 open, 1 bright
                 high-pass (about 10 kHz)
  tone           tonal level (default 1)
  tone_attack_ms, noise_attack_ms   attack times (1 to 100 ms; 0 = fastest)
  width          stereo expander (0 off, 1 widest; see below why it stays small)
  drive          transistor shaper load (0 bypassed)

Levels (MainVolume) are not designed by ear: LEVELS holds the values that bring every
sound to the same integrated loudness, found with
  kestrum-preset-features --library presets --match-lufs <target>
after any change of a design below.
"""

import math
from collections import namedtuple

Sound = namedtuple(
    "Sound",
    "name pitch_hz tone_s noise noise_s brightness tone tone_attack_ms noise_attack_ms width drive",
    defaults=(1.0, 0.0, 0.0, 0.0, 0.0),
)


def settles_at(hz):
    """The base pitch whose floor is `hz`: the tone starts at the returned pitch, falls with
    its envelope and holds `hz` from there on (the floor ratio is (f0 - 100) / 300)."""
    ratio = (-100.0 + math.sqrt(100.0 ** 2 + 1200.0 * hz)) / 600.0
    return 100.0 + 300.0 * ratio


# The pitch tracks the names promise, as kestrum-preset-features --check measures them (the
# tonal part's pitch 2, 20 and 50 ms after the note):
#   808       a short, nearly steady shell: 160-240 Hz at 20 and at 50 ms, within 1 semitone.
#             The tone starts higher (at settles_at(shell)) and has reached its floor within
#             the first 10-20 ms, which is why the tonal decays stay short.
#   SDS       the bend: at least 10 semitones down from 2 to 50 ms, 3 of them after 20 ms, so
#             low floors and tonal decays of 0.12-0.2 s (longer decays bend more slowly).
#   acoustic  a body of 150-250 Hz at 20 ms that stays within 2 semitones until 50 ms.
# The expander is left off: its delays put a hit behind the beat (left 16 ms, right 40 ms
# at full width) and comb the body away in a mono fold-down. Where it is used the width
# stays at 0.05 or less (onset under 3 ms, mono loss under 3 LU, both checked).

S = Sound
FACTORY = [
    # A warm, round welcome: a low heartbeat thump with a soft, dark noise bed.
    S("WLCM - Beating Heart", 125, 0.34, 0.30, 0.16, 0.30, tone_attack_ms=3, drive=0.15),

    # Electro: tight, loud, bright and often driven; the family spans tight/long,
    # dark/bright and dry/driven rather than repeating one sound.
    S("EDM - Electro A", 200, 0.09, 0.90, 0.12, 0.72, drive=0.50),
    S("EDM - Electro B", 240, 0.15, 0.80, 0.22, 0.80, width=0.03),
    S("EDM - Electro C", 170, 0.20, 0.85, 0.30, 0.62, drive=0.70),
    S("EDM - Electro D", 280, 0.07, 0.95, 0.06, 0.88, drive=0.75),
    S("EDM - Electro E", 150, 0.25, 0.70, 0.40, 0.68, drive=0.90),
    S("EDM - Electro F", 220, 0.12, 0.95, 0.18, 0.92),
    S("EDM - Electro G", 190, 0.35, 0.60, 0.50, 0.58, drive=0.40),
    S("EDM - Electro H", 320, 0.06, 0.90, 0.14, 0.76, drive=0.80),
    S("EDM - Electro I", 260, 0.18, 0.75, 0.26, 0.66, width=0.04, drive=0.20),
    S("EDM - Electro J", 160, 0.10, 1.00, 0.24, 0.84, drive=0.90),
    S("EDM - Electro K", 300, 0.22, 0.65, 0.12, 0.60, drive=1.00),
    S("EDM - Electro L", 210, 0.28, 0.85, 0.60, 0.90, drive=0.15),
    S("EDM - Electro M", 180, 0.05, 0.95, 0.07, 0.70, drive=0.45),
    S("EDM - Electro N", 250, 0.40, 0.80, 0.45, 0.78, drive=0.65),

    # Noisy: noise-dominant with a long bright tail and only a trace of tone.
    S("EDM - Noisy A", 220, 0.10, 1.00, 0.60, 0.86, tone=0.20),
    S("EDM - Noisy B", 260, 0.08, 1.00, 0.75, 0.90, tone=0.15, drive=0.30),
    S("EDM - Noisy C", 190, 0.12, 1.00, 0.85, 0.78, tone=0.25, drive=0.10),

    # 808 style: a short shell tone settling at 160-240 Hz (about 177 Hz, early units
    # nearer 238 Hz) under bright snappy noise of 100 to 300 ms.
    S("VNTG - KM 808 A", settles_at(177), 0.075, 0.60, 0.18, 0.90),
    S("VNTG - KM 808 B", settles_at(238), 0.120, 0.40, 0.10, 0.86),
    S("VNTG - KM 808 C", settles_at(165), 0.085, 0.80, 0.35, 0.92),
    S("VNTG - KM 808 D", settles_at(200), 0.060, 0.35, 0.12, 0.80),
    S("VNTG - KM 808 E", settles_at(190), 0.100, 0.90, 0.22, 0.70),
    S("VNTG - KM 808 F", settles_at(220), 0.070, 0.60, 0.26, 0.80),
    S("VNTG - KM 808 G", settles_at(163), 0.085, 0.40, 0.10, 0.72),
    S("VNTG - KM 808 H", settles_at(210), 0.120, 1.00, 0.16, 0.92),

    # 909 style: higher tuned shells that still sweep (the tune knob), a snappy attack,
    # brighter and longer noise than the 808s.
    S("VNTG - KM 909 A", 250, 0.070, 0.90, 0.40, 0.85),
    S("VNTG - KM 909 B", 260, 0.050, 1.00, 0.22, 0.90),
    S("VNTG - KM 909 C", 230, 0.120, 0.40, 0.30, 0.80),
    S("VNTG - KM 909 D", 340, 0.060, 0.75, 0.55, 0.80),
    S("VNTG - KM 909 E", 240, 0.065, 0.80, 0.14, 0.95, tone=0.7),

    # Early electronic kit: the bend is the signature. Low pitch floors so the pitch falls
    # far with the envelope, longer tonal decays than the 808s, noise as a bed.
    S("VNTG - KM SDS A", 170, 0.18, 0.35, 0.20, 0.55),
    S("VNTG - KM SDS B", 130, 0.13, 0.45, 0.50, 0.64),
    S("VNTG - KM SDS C", 190, 0.12, 0.15, 0.08, 0.35),
    S("VNTG - KM SDS D", 110, 0.15, 0.25, 0.25, 0.15),

    # Processed: the machine sounds through saturation and tape, shaper in, some a little widened.
    S("VNTG - Processed A", 140, 0.25, 0.70, 0.12, 0.78, drive=1.00),
    S("VNTG - Processed B", 280, 0.06, 0.90, 0.40, 0.82, width=0.03, drive=1.00),
    S("VNTG - Processed C", settles_at(230), 0.20, 0.50, 0.22, 0.62, drive=0.50),
    S("VNTG - Processed D", 200, 0.25, 0.45, 0.30, 0.40, width=0.03, drive=0.90),
    S("VNTG - Processed E", 280, 0.16, 0.90, 0.36, 0.74, width=0.045, drive=0.55),

    # Bass djembe: the lowest pitch (the shell's Helmholtz boom), long tonal decay, a little
    # dark noise for the hand.
    S("ACST - Bass Djembe A", 100, 0.40, 0.10, 0.05, 0.25, tone_attack_ms=2),
    S("ACST - Bass Djembe B", 108, 0.30, 0.25, 0.09, 0.55, tone_attack_ms=1),
    S("ACST - Bass Djembe C", 118, 0.22, 0.12, 0.04, 0.15, tone_attack_ms=5, drive=0.2),

    # Bongos: high, clear, nearly steady pitch, short and dry; the small drum (macho: A, B,
    # D) higher and drier, the large one (hembra: C, E, F) lower and more resonant; open
    # tones, slaps (more, brighter noise) and a muffled stroke.
    S("ACST - Bongo A", 390, 0.050, 0.15, 0.030, 0.60),
    S("ACST - Bongo B", 360, 0.049, 0.45, 0.020, 0.85),
    S("ACST - Bongo C", 290, 0.090, 0.10, 0.040, 0.50),
    S("ACST - Bongo D", 340, 0.049, 0.05, 0.010, 0.40, tone_attack_ms=3),
    S("ACST - Bongo E", 270, 0.060, 0.50, 0.035, 0.80),
    S("ACST - Bongo F", 250, 0.120, 0.08, 0.050, 0.40),

    # Acoustic snare: a body settling at 150 to 250 Hz, snare-wire noise of similar weight
    # reaching up high, 200 to 400 ms of wires.
    S("ACST - Snare A", settles_at(200), 0.11, 0.85, 0.28, 0.64, noise_attack_ms=2),
    S("ACST - Snare B", settles_at(185), 0.10, 0.60, 0.16, 0.45, noise_attack_ms=2, drive=0.50),
    S("ACST - Snare C", settles_at(235), 0.13, 0.70, 0.18, 0.70, noise_attack_ms=2),
    S("ACST - Snare D", settles_at(160), 0.085, 1.00, 0.50, 0.35, noise_attack_ms=6, drive=0.10),
    S("ACST - Snare E", settles_at(215), 0.12, 0.75, 0.34, 0.84, noise_attack_ms=8),
]

# MainVolume per sound, matched to one loudness (see above). Sounds missing here play at 0.8.
LEVELS = {
    "WLCM - Beating Heart": 0.5243,
    "EDM - Electro A": 0.4851,
    "EDM - Electro B": 0.4463,
    "EDM - Electro C": 0.3854,
    "EDM - Electro D": 0.5075,
    "EDM - Electro E": 0.3022,
    "EDM - Electro F": 0.4383,
    "EDM - Electro G": 0.4403,
    "EDM - Electro H": 0.3988,
    "EDM - Electro I": 0.5277,
    "EDM - Electro J": 0.4132,
    "EDM - Electro K": 0.3139,
    "EDM - Electro L": 0.4748,
    "EDM - Electro M": 0.6249,
    "EDM - Electro N": 0.3418,
    "EDM - Noisy A": 0.4343,
    "EDM - Noisy B": 0.5518,
    "EDM - Noisy C": 0.426,
    "VNTG - KM 808 A": 0.6019,
    "VNTG - KM 808 B": 0.6124,
    "VNTG - KM 808 C": 0.5424,
    "VNTG - KM 808 D": 0.7993,
    "VNTG - KM 808 E": 0.3682,
    "VNTG - KM 808 F": 0.6978,
    "VNTG - KM 808 G": 0.6931,
    "VNTG - KM 808 H": 0.4321,
    "VNTG - KM 909 A": 0.4302,
    "VNTG - KM 909 B": 0.5893,
    "VNTG - KM 909 C": 0.7529,
    "VNTG - KM 909 D": 0.4785,
    "VNTG - KM 909 E": 0.6891,
    "VNTG - KM SDS A": 0.53,
    "VNTG - KM SDS B": 0.6975,
    "VNTG - KM SDS C": 0.711,
    "VNTG - KM SDS D": 0.739,
    "VNTG - Processed A": 0.3504,
    "VNTG - Processed B": 0.3798,
    "VNTG - Processed C": 0.3667,
    "VNTG - Processed D": 0.3462,
    "VNTG - Processed E": 0.4496,
    "ACST - Bass Djembe A": 0.6276,
    "ACST - Bass Djembe B": 0.711,
    "ACST - Bass Djembe C": 0.4939,
    "ACST - Bongo A": 0.9699,
    "ACST - Bongo B": 0.937,
    "ACST - Bongo C": 0.7652,
    "ACST - Bongo D": 0.9796,
    "ACST - Bongo E": 0.8445,
    "ACST - Bongo F": 0.6802,
    "ACST - Snare A": 0.4705,
    "ACST - Snare B": 0.4897,
    "ACST - Snare C": 0.44,
    "ACST - Snare D": 0.5503,
    "ACST - Snare E": 0.5022,
}

# The user slots start from the instrument's own initial sound.
NEUTRAL_USER_VALUES = {
    "MainVolume": 0.8, "NoiseAmpLevel": 1, "NoiseEnvAttack": 0, "NoiseEnvDecay": 0.5,
    "NoiseFilterTone": 0.5, "StereoExpandOffOn": 0, "TonalAmpLevel": 1, "TonalEnvAttack": 0,
    "TonalEnvDecay": 0.5, "TonalPitchAmt": 0, "TransistorDistLoad": 0,
}
