#!/usr/bin/env python3
"""Independent, deliberately plain model of the Kestrum instrument.

Usage: kestrum_reference.py SCENARIO.json OUT.f64

Renders a scenario the same way the offline renderer does (instrument built
at 44100 Hz, then set up for the scenario's sample rate and block size,
parameters applied by name, MIDI events delivered to the block holding their
frame) and writes interleaved little-endian float64 frames L0 R0 L1 R1 ...

It is written for readability, not speed, and shares no code with the
product so that a misreading on one side shows up as a difference.
"""

import json
import math
import struct
import sys

# ---------------------------------------------------------------------------
# Number guards and small helpers
# ---------------------------------------------------------------------------


def exponent_field(x):
    return (struct.unpack('<Q', struct.pack('<d', x))[0] >> 52) & 0x7FF


def nan_guard(x):
    """Huge, infinite or not-a-number values become 0."""
    return 0.0 if exponent_field(x) >= 0x7FE else x


def denormal_guard(x):
    """Values below 2^-1021 in magnitude become 0."""
    return 0.0 if exponent_field(x) <= 1 else x


def safe_reciprocal(x):
    return 0.0 if x == 0.0 else 1.0 / x


def guarded_pow(x, y):
    try:
        r = math.pow(x, y)
    except (ValueError, OverflowError):
        return 0.0
    return nan_guard(r)


def clamp(x, lo, hi):
    if x < lo:
        return lo
    if x > hi:
        return hi
    return x


def wrap(p):
    if 0.0 <= p < 1.0:
        return p
    return p - (math.trunc(p) - (1 if p < 0 else 0))


def quantise16(x):
    x = clamp(x, -1.0, 1.0)
    x = math.trunc(x * 32768) / 32768
    return clamp(x, -1.0, 1.0)


def to_float32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


# ---------------------------------------------------------------------------
# Engine parameter table
# ---------------------------------------------------------------------------

ENGINE_PARAMETERS = [
    # name, default, min, max
    ('HostBarStartPulse', 0.0, 0.0, 1.0),
    ('HostTempoBpm', 120.0, 0.0, 1000.0),
    ('HostTransportIsRunning', 0.0, 0.0, 1.0),
    ('MainVolume', 0.8, 0.0, 1.0),
    ('MidiChannelInput', 1.0, 1.0, 1.0),
    ('NoiseAmpLevel', 1.0, 0.0, 1.0),
    ('NoiseEnvAttack', 0.0, 0.0, 1.0),
    ('NoiseEnvDecay', 0.5, 0.0, 1.0),
    ('NoiseFilterTone', 0.5, 0.0, 1.0),
    ('PresetBackward', 0.0, 0.0, 1.0),
    ('PresetForward', 0.0, 0.0, 1.0),
    ('PresetLoad', 0.0, 0.0, 1.0),
    ('PresetSave', 0.0, 0.0, 1.0),
    ('PresetSelector', 0.0, -1.0, 10000.0),
    ('StereoExpandOffOn', 0.0, 0.0, 1.0),
    ('TonalAmpLevel', 1.0, 0.0, 1.0),
    ('TonalEnvAttack', 0.0, 0.0, 1.0),
    ('TonalEnvDecay', 0.5, 0.0, 1.0),
    ('TonalPitchAmt', 0.0, 0.0, 1.0),
    ('TransistorDistLoad', 0.0, 0.0, 1.0),
    ('VelAmpOffOn', 0.0, 0.0, 1.0),
    ('Voice00_NoteGate', 0.0, 0.0, 1.0),
    ('Voice00_NoteNumber', 64.0, 0.0, 127.0),
    ('Voice00_NoteRetrig', 0.0, 0.0, 1.0),
    ('Voice00_NoteVelocity', 64.0, 0.0, 127.0),
    ('VoiceModeMonoPoly', 0.0, 0.0, 0.0),
    ('VoiceRetrigOffOn', 1.0, 1.0, 1.0),
    ('zInitParams', 0.0, 0.0, 1.0),
]

P = {name: i for i, (name, _, _, _) in enumerate(ENGINE_PARAMETERS)}

# ---------------------------------------------------------------------------
# Runtime: cosine table and delay line
# ---------------------------------------------------------------------------

COSINE_SIZE = 16384
COSINE_TABLE = [math.cos(j * 3.141592653589793 * 2 / COSINE_SIZE)
                for j in range(COSINE_SIZE)]


def cosine_lookup(p):
    index = int(math.trunc(p * 4294967296.0)) & 0xFFFFFFFF
    i = index >> 18
    fraction = (index & 0x3FFFF) * 3.81471181759574e-06
    a = COSINE_TABLE[i]
    b = COSINE_TABLE[(i + 1) & (COSINE_SIZE - 1)]
    return a + (b - a) * fraction


class DelayLine:
    SIZE = 8192
    MASK = SIZE - 1
    MAX_DELAY = 8000

    def __init__(self):
        self.prepare()

    def prepare(self):
        self.memory = [0.0] * self.SIZE
        self.write_position = 0
        self.last_write_position = 0

    def read(self, d):
        minimum = 1 if self.write_position != self.last_write_position else 0
        if d < minimum:
            d = minimum
        if d > self.MAX_DELAY:
            d = self.MAX_DELAY
        pos = (self.SIZE + self.write_position) - d
        i = math.trunc(pos)
        fraction = pos - i
        a = self.memory[i & self.MASK]
        b = self.memory[(i + 1) & self.MASK]
        return a + (b - a) * fraction

    def write(self, x):
        self.last_write_position = self.write_position
        self.memory[self.write_position] = x
        self.write_position += 1
        if self.write_position == self.SIZE:
            self.write_position = 0


# ---------------------------------------------------------------------------
# Noise generator, shared by the whole process, starts at 2
# ---------------------------------------------------------------------------

noise_state = 2


def next_noise():
    global noise_state
    noise_state = (noise_state * 1664525 + 1013904223) & 0xFFFFFFFF
    bits = (noise_state & 0x007FFFFF) | 0x3F800000
    f = struct.unpack('<f', struct.pack('<I', bits))[0]
    f = to_float32(f * 2.0)
    f = to_float32(f - 3.0)
    return f


# ---------------------------------------------------------------------------
# Envelope
# ---------------------------------------------------------------------------


class AttackDecayEnvelope:
    def __init__(self):
        self.countdown = 0
        self.previous_retrig = 0.0
        self.previous_gate = 0.0
        self.stage = 0
        self.phase = 0.0
        self.output = 0.0
        self.held = 0.0
        self.slide = 0.0

    def condition_gate(self, gate, retrig, ms):
        if retrig != self.previous_retrig:
            self.countdown = ms
        self.previous_retrig = retrig
        if self.countdown > 0:
            self.countdown -= 1
            return 0.0
        return gate

    def step(self, g, attack, decay, sr):
        def inc(t):
            return safe_reciprocal(t * sr)

        rise = (g - self.previous_gate) == 1.0
        fall = (g - self.previous_gate) == -1.0
        self.previous_gate = g
        release_length = self.held * decay

        if rise:
            self.stage = 1
            self.phase = 0.0
        if fall:
            self.stage = 4
            self.phase = 0.0
            self.held = self.output
            self.release_step(release_length, inc)
            return self.output

        if self.stage == 1:
            self.phase += inc(attack)
            self.output = guarded_pow(self.phase, 2.001)
            if self.phase > 1:
                self.stage = 2
                self.phase = 0.0
                self.decay_step(decay, inc)
        elif self.stage == 2:
            self.decay_step(decay, inc)
        elif self.stage == 3:
            self.phase = 0.0
            self.output = 0.0
        elif self.stage == 4:
            self.release_step(release_length, inc)
        return self.output

    def decay_step(self, decay, inc):
        self.phase += inc(decay)
        self.output = guarded_pow(1 - self.phase, 2.001)
        if self.phase > 1:
            self.stage = 3
            self.phase = 0.0
            self.output = 0.0

    def release_step(self, release_length, inc):
        self.phase += inc(release_length)
        self.output = self.held * guarded_pow(1 - self.phase, 2.001)
        if self.phase > 3:
            self.stage = 0
            self.phase = 0.0
            self.output = 0.0

    def slide_and_floor(self, y, falling):
        coefficient = 1.0 if y > self.slide else falling
        s = self.slide + (y - self.slide) * coefficient
        s = denormal_guard(s)
        self.slide = s
        return 0.0 if s < 0.00000001 else s


# ---------------------------------------------------------------------------
# Tone filter
# ---------------------------------------------------------------------------


class Biquad:
    def __init__(self):
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0
        self.b0 = self.b1 = self.b2 = self.a1 = self.a2 = 0.0

    def run(self, u):
        y = (self.b0 * u + self.b1 * self.x1 + self.b2 * self.x2
             - self.a1 * self.y1 - self.a2 * self.y2)
        self.x2 = denormal_guard(self.x1)
        self.x1 = denormal_guard(u)
        self.y2 = denormal_guard(self.y1)
        self.y1 = denormal_guard(y)
        return y


def cutoff_hz(c):
    return max(20 + 19980 * guarded_pow(c, 3), 0.0)


def angular_terms(f, sr):
    w = 0.0 if sr == 0 else f * 6.2831853071796 / sr
    alpha = math.sin(w) * 0.5 * 2
    g = safe_reciprocal(1 + alpha)
    return math.cos(w), alpha, g


def set_lowpass(bq, f, sr):
    cw, alpha, g = angular_terms(f, sr)
    bq.b0 = bq.b2 = (1 - cw) * 0.5 * g
    bq.b1 = (1 - cw) * g
    bq.a1 = -2 * cw * g
    bq.a2 = (1 - alpha) * g


def set_highpass(bq, f, sr):
    cw, alpha, g = angular_terms(f, sr)
    bq.b0 = bq.b2 = (1 + cw) * 0.5 * g
    bq.b1 = -(1 + cw) * g
    bq.a1 = -2 * cw * g
    bq.a2 = (1 - alpha) * g


# ---------------------------------------------------------------------------
# Engine
# ---------------------------------------------------------------------------


class SynthEngine:
    def __init__(self, sample_rate):
        self.left = DelayLine()
        self.right = DelayLine()
        self.reset(sample_rate)

    def reset(self, sample_rate):
        self.sr = sample_rate
        self.left.prepare()
        self.right.prepare()
        self.values = [d for (_, d, _, _) in ENGINE_PARAMETERS]
        self.tonal_env = AttackDecayEnvelope()
        self.noise_env = AttackDecayEnvelope()
        self.osc_phase = 0.0
        self.lowpass = Biquad()
        self.highpass = Biquad()
        self.s1 = 0.0
        self.a_prev = 0.0
        self.b_prev = 0.0
        self.d_prev = 0.0
        self.z_prev = 0.0
        self.previous_gate_offset = 0.0
        self.latched_velocity = 0.0
        self.reciprocal_sr = 1.0 / sample_rate

    def set_parameter(self, index, value):
        if not 0 <= index <= 27:
            return
        _, _, lo, hi = ENGINE_PARAMETERS[index]
        if value < lo:
            value = lo
        elif value > hi:
            value = hi
        self.values[index] = value

    def v(self, name):
        return self.values[P[name]]

    # --- block-rate steps -------------------------------------------------

    def envelope_times(self):
        def sq(x):
            return guarded_pow(x, 2)
        self.at = 10 * clamp(sq(0.1 * self.v('TonalEnvAttack')), 0.0001, 1)
        self.dt = 10 * clamp(sq(0.13 * self.v('TonalEnvDecay') + 0.07), 0.0001, 1)
        self.an = 10 * clamp(sq(0.1 * self.v('NoiseEnvAttack')), 0.0001, 1)
        self.dn = 10 * clamp(sq(0.29 * self.v('NoiseEnvDecay') + 0.01), 0.0001, 1)

    def tone_filter_coefficients(self):
        sr = self.sr
        q = 0.12 + 0.78 * self.v('NoiseFilterTone')
        f_lp = cutoff_hz(2 * clamp(q, 0, 0.5))
        f_hp = cutoff_hz(2 * (clamp(q, 0.5, 1) - 0.5))
        set_lowpass(self.lowpass, f_lp, sr)
        set_highpass(self.highpass, f_hp, sr)
        if q < 0.45:
            self.m = 0.0
        elif q <= 0.55:
            self.m = 10 * (q - 0.45)
        else:
            self.m = 1.0

    def shaper_constants(self):
        load = clamp(0.5 * self.v('TransistorDistLoad'), 0, 1)
        self.shaper_on = load > 0
        w = guarded_pow(load, 3)
        self.k1 = 1.154 + 7.846 * w
        self.k2 = 1 + 4 * w
        self.n = math.tanh(self.k1)
        self.g = 0.9 - 0.2 * guarded_pow(w, 0.45)

    def velocity_latch(self):
        v = clamp(self.v('Voice00_NoteVelocity') * 0.00787, 0, 1)
        current = self.v('Voice00_NoteGate') - 0.5
        if not self.previous_gate_offset > 0 and current > 0:
            self.latched_velocity = v
        self.previous_gate_offset = current
        self.gv = 1 + (self.latched_velocity - 1) * self.v('VelAmpOffOn')

    def block_step(self):
        sr = self.sr
        self.reciprocal_sr = 1.0 / sr
        self.ms = math.trunc(sr * 0.001)
        self.envelope_times()
        self.falling = 1 / max(abs(sr * 0.001), 1)
        self.f0 = 100 + 300 * self.v('TonalPitchAmt')
        self.pf = self.v('TonalPitchAmt')
        self.tone_filter_coefficients()
        self.shaper_constants()
        self.dr = sr * 0.04 * self.v('StereoExpandOffOn')
        self.dl = self.dr * 0.4
        self.velocity_latch()
        self.volume = self.v('MainVolume')

    # --- per-sample steps -------------------------------------------------

    def tonal_oscillator(self, et):
        if et == 0:
            self.osc_phase = 0.0
        if et <= self.pf:
            r = self.pf
        elif et >= 1:
            r = 1.0
        else:
            r = et
        self.osc_phase = wrap(self.osc_phase + r * self.f0 * self.reciprocal_sr)
        c = cosine_lookup(self.osc_phase)
        return quantise16(c * et) * self.v('TonalAmpLevel')

    def noise_and_tone_filter(self, en):
        u = next_noise() * en
        y_lp = self.lowpass.run(u)
        y_hp = self.highpass.run(u)
        f = y_lp + (y_hp - y_lp) * self.m
        return quantise16(f) * self.v('NoiseAmpLevel')

    def transistor_shaper(self, s):
        s1 = self.s1
        sm = (s + s1) * 0.5
        if self.n == 0:
            a = b = 0.0
        else:
            a = clamp(self.g * math.tanh(s1 * self.k2 * self.k1) / self.n, -1, 1)
            b = clamp(self.g * math.tanh(sm * self.k2 * self.k1) / self.n, -1, 1)
        d = ((a + self.a_prev) * 0.5 + self.b_prev) * 0.5
        z = d - self.d_prev + 0.9997 * self.z_prev
        out = denormal_guard(z) if self.shaper_on else s
        self.s1 = denormal_guard(s)
        self.a_prev = denormal_guard(a)
        self.b_prev = denormal_guard(b)
        self.d_prev = d
        self.z_prev = z
        return out

    def stereo_expander(self, x):
        gain = self.gv * self.volume
        left = clamp(self.left.read(self.dl) * gain, -1.2, 1.2)
        right = clamp(self.right.read(self.dr) * gain, -1.2, 1.2)
        self.left.write(x)
        self.right.write(x)
        return left, right

    def sample(self):
        gate = self.v('Voice00_NoteGate')
        retrig = self.v('Voice00_NoteRetrig')
        g_t = self.tonal_env.condition_gate(gate, retrig, self.ms)
        g_n = self.noise_env.condition_gate(gate, retrig, self.ms)
        y_t = self.tonal_env.step(g_t, self.at, self.dt, self.sr)
        y_n = self.noise_env.step(g_n, self.an, self.dn, self.sr)
        et = self.tonal_env.slide_and_floor(y_t, self.falling)
        en = self.noise_env.slide_and_floor(y_n, self.falling)
        t = self.tonal_oscillator(et)
        f = self.noise_and_tone_filter(en)
        s = (f + t) * 0.5
        x = self.transistor_shaper(s)
        return self.stereo_expander(x)

    def perform(self, n, out):
        self.block_step()
        for _ in range(n):
            out.extend(self.sample())


# ---------------------------------------------------------------------------
# Plug-in parameters (continuous, step 0.00001, shape 1)
# ---------------------------------------------------------------------------


class PluginParameter:
    def __init__(self, name, default, lo, hi, step=0.00001, shape=1.0):
        self.name = name
        self.min = lo
        self.value = default
        self.default = default
        self.step = step
        self.max = lo + step if lo + step > hi else hi
        self.shape = shape

    def set_from_normalized(self, n):
        plain = self.min + (self.max - self.min) * math.pow(n, self.shape)
        self.value = plain if plain < self.max else self.max

    def set_plain_value(self, x):
        if x < self.min:
            x = self.min
        elif x > self.max:
            x = self.max
        self.value = x


# ---------------------------------------------------------------------------
# Instrument
# ---------------------------------------------------------------------------

CONTROLLER_TO_PARAMETER = {
    1: 19, 2: 14, 3: 20, 7: 3, 8: 16, 9: 17, 10: 18, 11: 15,
    12: 6, 13: 7, 14: 5, 15: 8,
}


class Kestrum:
    def __init__(self, tempo):
        self.tempo = tempo
        self.engine = SynthEngine(44100.0)
        self.params = [PluginParameter(n, d, lo, hi)
                       for (n, d, lo, hi) in ENGINE_PARAMETERS]
        self.queue = []
        self.voice_reset()

    # --- helpers ----------------------------------------------------------

    def set_engine_and_plain(self, index, value):
        self.engine.set_parameter(index, value)
        self.params[index].set_plain_value(value)

    def step_retrigger_token(self):
        t = to_float32(to_float32(self.token) + to_float32(0.01))
        if t > to_float32(0.99):
            t = 0.0
        self.token = t
        self.params[23].set_plain_value(t)
        self.engine.set_parameter(23, t)

    # --- operations -------------------------------------------------------

    def voice_reset(self):
        self.held = [False] * 128
        self.note_stack = [0] * 128
        self.velocity_stack = [0] * 128
        self.top = 0
        self.token = 0.0
        self.sustain = 0
        self.engine.set_parameter(21, 0.0)
        self.params[21].set_plain_value(0.0)

    def reset_processing(self, sample_rate):
        self.engine.reset(sample_rate)
        for i in range(28):
            self.engine.set_parameter(i, self.params[i].value)
        self.params[13].set_plain_value(0.0)
        self.engine.set_parameter(13, 0.0)
        self.voice_reset()

    def on_parameter_change(self, index):
        self.engine.set_parameter(index, self.params[index].value)

    def process_midi_message(self, offset, status, d1, d2):
        channel = math.trunc(self.params[4].value - 1)
        if (status & 0x0F) != channel:
            return
        # Stable insertion by offset: equal offsets keep arrival order.
        k = len(self.queue)
        while k > 0 and self.queue[k - 1][0] > offset:
            k -= 1
        self.queue.insert(k, (offset, status, d1, d2))

    def note_on(self, note, velocity):
        self.held[note] = True
        self.engine.set_parameter(21, 1.0)
        self.engine.set_parameter(22, float(note))
        self.engine.set_parameter(24, float(velocity))
        self.params[21].set_plain_value(1.0)
        self.params[22].set_plain_value(float(note))
        self.params[24].set_plain_value(float(velocity))
        if self.params[26].value == 1.0:
            self.step_retrigger_token()
        self.top = min(self.top + 1, 100)
        self.note_stack[self.top] = note
        self.velocity_stack[self.top] = velocity

    def note_off(self, note):
        self.held[note] = False
        previous = self.note_stack[self.top]
        self.top = max(self.top - 1, 0)
        if self.params[26].value == 1.0 and previous == note and self.top > 0:
            self.step_retrigger_token()
        if note in self.note_stack:
            k = self.note_stack.index(note)
            del self.note_stack[k]
            del self.velocity_stack[k]
            self.note_stack.append(0)
            self.velocity_stack.append(0)
        if self.sustain == 0:
            self.engine.set_parameter(21, 0.0)
            self.engine.set_parameter(22, float(note))
            self.params[21].set_plain_value(0.0)
            self.params[22].set_plain_value(float(note))
        if any(self.held):
            note_top = self.note_stack[self.top]
            velocity_top = self.velocity_stack[self.top]
            self.set_engine_and_plain(21, 1.0)
            self.set_engine_and_plain(22, float(note_top))
            self.set_engine_and_plain(24, float(velocity_top))

    def control_change(self, controller, value):
        if controller in CONTROLLER_TO_PARAMETER:
            index = CONTROLLER_TO_PARAMETER[controller]
            v = value / 127
            self.params[index].set_from_normalized(v)
            self.engine.set_parameter(index, v)
            self.on_parameter_change(index)
        elif controller == 64:
            if value == 0:
                self.sustain = 0
                if self.params[25].value == 0 and not any(self.held):
                    self.engine.set_parameter(21, 0.0)
                    self.params[21].set_plain_value(0.0)
            if value == 127:
                self.sustain = 127
        elif controller == 123:
            self.voice_reset()

    def handle_message(self, status, d1, d2):
        kind = status >> 4
        if kind == 9 and d2 > 0:
            if self.params[25].value == 0:
                self.note_on(d1, d2)
        elif kind == 8 or kind == 9:
            if self.params[25].value == 0:
                self.note_off(d1)
        elif kind == 11:
            self.control_change(d1, d2)

    def process_block(self, n, out):
        pending = [m for m in self.queue if m[0] < n]
        self.queue = [(m[0] - n,) + m[1:] for m in self.queue if m[0] >= n]
        for (_, status, d1, d2) in pending:
            self.handle_message(status, d1, d2)
        self.params[1].set_plain_value(self.tempo)
        self.engine.set_parameter(1, self.tempo)
        self.engine.perform(n, out)


# ---------------------------------------------------------------------------
# Offline rendering of a scenario
# ---------------------------------------------------------------------------


def render(scenario):
    sample_rate = float(scenario.get('sample_rate', 44100))
    block = int(scenario.get('block', 512))
    frames = int(scenario.get('frames', 2 * sample_rate))
    tempo = float(scenario.get('tempo', 120))

    kestrum = Kestrum(tempo)
    kestrum.reset_processing(sample_rate)
    for name, value in scenario.get('params', {}).items():
        index = P[name]
        kestrum.params[index].set_plain_value(float(value))
        kestrum.on_parameter_change(index)

    events = scenario.get('events', [])
    out = []
    start = 0
    while start < frames:
        n = min(block, frames - start)
        for e in events:
            if start <= e['frame'] < start + n:
                kestrum.process_midi_message(e['frame'] - start, e['status'],
                                             e['d1'], e['d2'])
        kestrum.process_block(n, out)
        start += n
    return out


def main(argv):
    if len(argv) != 3:
        sys.stderr.write('usage: kestrum_reference.py SCENARIO.json OUT.f64\n')
        return 2
    with open(argv[1]) as f:
        scenario = json.load(f)
    samples = render(scenario)
    with open(argv[2], 'wb') as f:
        f.write(struct.pack('<%dd' % len(samples), *samples))
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
