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
  width          stereo expander (0 off, 1 widest)
  drive          transistor shaper load (0 bypassed)

Levels (MainVolume) are not designed by ear: LEVELS holds the values that bring every
sound to the same integrated loudness, found with
  kestrum-preset-features --library presets --match-lufs <target>
after any change of a design below.
"""

from collections import namedtuple

Sound = namedtuple(
    "Sound",
    "name pitch_hz tone_s noise noise_s brightness tone tone_attack_ms noise_attack_ms width drive",
    defaults=(1.0, 0.0, 0.0, 0.0, 0.0),
)

S = Sound
FACTORY = [
    # A warm, round welcome: a low heartbeat thump with a soft, dark noise bed.
    S("WLCM - Beating Heart", 130, 0.30, 0.35, 0.18, 0.35, width=0.25, drive=0.15),

    # Electro: tight, loud, bright and often driven; the family spans tight/long,
    # dark/bright, dry/driven and narrow/wide rather than repeating one sound.
    S("EDM - Electro A", 200, 0.09, 0.90, 0.12, 0.72, width=0.20, drive=0.50),
    S("EDM - Electro B", 240, 0.15, 0.80, 0.22, 0.80, width=0.35),
    S("EDM - Electro C", 170, 0.20, 0.85, 0.30, 0.62, drive=0.70),
    S("EDM - Electro D", 280, 0.07, 1.00, 0.09, 0.88, width=0.50, drive=0.30),
    S("EDM - Electro E", 150, 0.25, 0.70, 0.40, 0.68, width=0.15, drive=0.90),
    S("EDM - Electro F", 220, 0.12, 0.95, 0.18, 0.92),
    S("EDM - Electro G", 190, 0.35, 0.60, 0.50, 0.58, width=0.60, drive=0.40),
    S("EDM - Electro H", 320, 0.06, 0.90, 0.14, 0.76, width=0.30, drive=0.80),
    S("EDM - Electro I", 260, 0.18, 0.75, 0.26, 0.66, width=0.80, drive=0.20),
    S("EDM - Electro J", 160, 0.10, 1.00, 0.32, 0.84, width=0.45, drive=0.60),
    S("EDM - Electro K", 300, 0.22, 0.65, 0.12, 0.60, drive=1.00),
    S("EDM - Electro L", 210, 0.28, 0.85, 0.60, 0.90, width=0.25, drive=0.15),
    S("EDM - Electro M", 180, 0.05, 0.95, 0.07, 0.70, width=0.70, drive=0.45),
    S("EDM - Electro N", 250, 0.40, 0.80, 0.45, 0.78, width=0.55, drive=0.65),

    # Noisy: noise-dominant with a long bright tail and only a trace of tone.
    S("EDM - Noisy A", 220, 0.10, 1.00, 0.60, 0.86, tone=0.20, width=0.30),
    S("EDM - Noisy B", 260, 0.08, 1.00, 0.75, 0.94, tone=0.15, width=0.60, drive=0.30),
    S("EDM - Noisy C", 190, 0.12, 1.00, 0.85, 0.78, tone=0.25, drive=0.10),

    # 808 style: a low-mid shell tone (about 177 Hz, early units nearer 238 Hz) with a short
    # decay, bright snappy noise of 120 to 250 ms.
    S("VNTG - KM 808 A", 177, 0.12, 0.60, 0.18, 0.74),
    S("VNTG - KM 808 B", 238, 0.10, 0.55, 0.15, 0.76),
    S("VNTG - KM 808 C", 165, 0.16, 0.75, 0.22, 0.72),
    S("VNTG - KM 808 D", 200, 0.14, 0.45, 0.16, 0.80),
    S("VNTG - KM 808 E", 185, 0.20, 0.85, 0.25, 0.70),
    S("VNTG - KM 808 F", 220, 0.08, 0.70, 0.20, 0.78),
    S("VNTG - KM 808 G", 155, 0.18, 0.50, 0.12, 0.68),
    S("VNTG - KM 808 H", 210, 0.22, 0.90, 0.24, 0.82),

    # 909 style: higher tuned shells with a snappy attack, brighter and longer noise.
    S("VNTG - KM 909 A", 250, 0.07, 0.90, 0.30, 0.85),
    S("VNTG - KM 909 B", 280, 0.09, 1.00, 0.35, 0.90),
    S("VNTG - KM 909 C", 230, 0.11, 0.85, 0.27, 0.82),
    S("VNTG - KM 909 D", 300, 0.06, 0.95, 0.40, 0.93),
    S("VNTG - KM 909 E", 265, 0.08, 0.80, 0.33, 0.88),

    # Early electronic kit: the bend is the signature. Low pitch floors so the pitch falls
    # far with the envelope, long tonal decays, noise as a bed.
    S("VNTG - KM SDS A", 140, 0.30, 0.35, 0.20, 0.50, width=0.20),
    S("VNTG - KM SDS B", 125, 0.36, 0.30, 0.28, 0.45),
    S("VNTG - KM SDS C", 155, 0.26, 0.45, 0.15, 0.58, width=0.35),
    S("VNTG - KM SDS D", 115, 0.40, 0.25, 0.33, 0.40, width=0.10),

    # Processed: the machine sounds through saturation and tape, shaper in, often widened.
    S("VNTG - Processed A", 180, 0.14, 0.70, 0.22, 0.74, width=0.40, drive=0.60),
    S("VNTG - Processed B", 260, 0.09, 0.90, 0.32, 0.86, width=0.60, drive=0.80),
    S("VNTG - Processed C", 200, 0.18, 0.60, 0.18, 0.70, width=0.25, drive=0.45),
    S("VNTG - Processed D", 140, 0.30, 0.40, 0.25, 0.55, width=0.50, drive=0.90),
    S("VNTG - Processed E", 230, 0.12, 0.80, 0.28, 0.80, width=0.75, drive=0.35),

    # Bass djembe: the lowest pitch (the shell's Helmholtz boom), long tonal decay, a little
    # dark noise for the hand.
    S("ACST - Bass Djembe A", 100, 0.38, 0.10, 0.05, 0.25, tone_attack_ms=2),
    S("ACST - Bass Djembe B", 104, 0.32, 0.15, 0.07, 0.30, tone_attack_ms=3),
    S("ACST - Bass Djembe C", 110, 0.40, 0.08, 0.04, 0.20, tone_attack_ms=2),

    # Bongos: high, clear pitch, short and dry; the small drum (A, B, D) higher and drier,
    # the large one (C, E, F) lower and a little longer.
    S("ACST - Bongo A", 380, 0.050, 0.15, 0.030, 0.60),
    S("ACST - Bongo B", 340, 0.055, 0.20, 0.040, 0.55),
    S("ACST - Bongo C", 300, 0.065, 0.12, 0.050, 0.50),
    S("ACST - Bongo D", 360, 0.050, 0.25, 0.020, 0.65),
    S("ACST - Bongo E", 320, 0.060, 0.18, 0.035, 0.58),
    S("ACST - Bongo F", 280, 0.070, 0.10, 0.060, 0.48),

    # Acoustic snare: a 150 to 250 Hz fundamental, snare-wire noise of similar weight reaching
    # up high, 200 to 400 ms of decay, a touch of room.
    S("ACST - Snare A", 180, 0.25, 0.85, 0.30, 0.62, noise_attack_ms=2, width=0.15),
    S("ACST - Snare B", 200, 0.30, 0.90, 0.35, 0.66, noise_attack_ms=2, width=0.10),
    S("ACST - Snare C", 220, 0.22, 0.80, 0.25, 0.70, noise_attack_ms=2, width=0.20),
    S("ACST - Snare D", 160, 0.35, 1.00, 0.40, 0.60, noise_attack_ms=3, width=0.25),
    S("ACST - Snare E", 240, 0.20, 0.75, 0.28, 0.72, noise_attack_ms=2, width=0.05),
]

# MainVolume per sound, matched to one loudness (see above). Sounds missing here play at 0.8.
LEVELS = {
    "WLCM - Beating Heart": 0.5544,
    "EDM - Electro A": 0.4924,
    "EDM - Electro B": 0.5826,
    "EDM - Electro C": 0.3875,
    "EDM - Electro D": 0.6001,
    "EDM - Electro E": 0.3057,
    "EDM - Electro F": 0.441,
    "EDM - Electro G": 0.4323,
    "EDM - Electro H": 0.4182,
    "EDM - Electro I": 0.51,
    "EDM - Electro J": 0.5072,
    "EDM - Electro K": 0.3144,
    "EDM - Electro L": 0.4675,
    "EDM - Electro M": 0.6525,
    "EDM - Electro N": 0.3384,
    "EDM - Noisy A": 0.5067,
    "EDM - Noisy B": 0.7245,
    "EDM - Noisy C": 0.4259,
    "VNTG - KM 808 A": 0.5112,
    "VNTG - KM 808 B": 0.5691,
    "VNTG - KM 808 C": 0.4052,
    "VNTG - KM 808 D": 0.5615,
    "VNTG - KM 808 E": 0.4675,
    "VNTG - KM 808 F": 0.4947,
    "VNTG - KM 808 G": 0.5266,
    "VNTG - KM 808 H": 0.4664,
    "VNTG - KM 909 A": 0.507,
    "VNTG - KM 909 B": 0.4393,
    "VNTG - KM 909 C": 0.5245,
    "VNTG - KM 909 D": 0.4565,
    "VNTG - KM 909 E": 0.5403,
    "VNTG - KM SDS A": 0.6253,
    "VNTG - KM SDS B": 0.5924,
    "VNTG - KM SDS C": 0.637,
    "VNTG - KM SDS D": 0.5776,
    "VNTG - Processed A": 0.5622,
    "VNTG - Processed B": 0.4386,
    "VNTG - Processed C": 0.414,
    "VNTG - Processed D": 0.3397,
    "VNTG - Processed E": 0.5614,
    "ACST - Bass Djembe A": 0.6501,
    "ACST - Bass Djembe B": 0.7094,
    "ACST - Bass Djembe C": 0.6045,
    "ACST - Bongo A": 0.9678,
    "ACST - Bongo B": 0.9157,
    "ACST - Bongo C": 0.8845,
    "ACST - Bongo D": 0.9635,
    "ACST - Bongo E": 0.9028,
    "ACST - Bongo F": 0.864,
    "ACST - Snare A": 0.4342,
    "ACST - Snare B": 0.3779,
    "ACST - Snare C": 0.5049,
    "ACST - Snare D": 0.3016,
    "ACST - Snare E": 0.5198,
}

# The user slots start from the instrument's own initial sound.
NEUTRAL_USER_VALUES = {
    "MainVolume": 0.8, "NoiseAmpLevel": 1, "NoiseEnvAttack": 0, "NoiseEnvDecay": 0.5,
    "NoiseFilterTone": 0.5, "StereoExpandOffOn": 0, "TonalAmpLevel": 1, "TonalEnvAttack": 0,
    "TonalEnvDecay": 0.5, "TonalPitchAmt": 0, "TransistorDistLoad": 0,
}
