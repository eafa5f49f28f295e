"""Synthesises Chalkmere's five sounds as mono PCM WAVE files.

Every tone comes from one soft mallet voice in C major, so the sounds read as a family. Each
note has a raised-cosine attack and release and each file begins and ends on exact silence,
because the platform starts and cuts sounds abruptly and any step there would be a pop.

    /usr/bin/python3 sounds.py <sound_dir>
"""

import pathlib
import sys
import wave

import numpy as np

# name: (file, resource id, sample rate, bytes per sample, length in seconds, peak)
# The peak is a fraction of full scale: 8-bit sounds swing about 128 +/- 88. The clicks sit
# lower than the chimes because they are heard far more often.
FORMATS = {
    "tap": ("tap.wav", 20000, 11025, 2, 0.023, 0.50),
    "correct": ("correct.wav", 20001, 11025, 1, 0.155, 88 / 127),
    "level_up": ("level-up.wav", 20002, 22050, 1, 1.69, 88 / 127),
    "navigate": ("navigate.wav", 20003, 22050, 2, 0.084, 0.56),
    "welcome": ("welcome.wav", 20004, 11025, 1, 1.72, 88 / 127),
}

# Mallet partials: (frequency ratio, amplitude, decay time relative to the fundamental).
# Upper partials die first, as on a struck bar; the slightly stretched fourth one gives the
# chime its glint without making it shrill.
MALLET = ((1.0, 1.0, 1.0), (2.0, 0.22, 0.45), (3.0, 0.07, 0.28), (4.2, 0.03, 0.12))

# Partials above this are dropped and _taper softens those above about 2.6 kHz, which keeps
# the energy under about 3 kHz and far from the 5.5 kHz limit of the 11 kHz files.
BRIGHTNESS_LIMIT = 4000.0


def frames_for(rate, seconds):
    return round(rate * seconds)


def midi(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


C4, G4, C5, D5, E5, G5, C6 = (midi(n) for n in (60, 67, 72, 74, 76, 79, 84))


def _ramp(n):
    """Raised cosine from 0 to 1 over n samples (no step in level or slope)."""
    if n <= 0:
        return np.ones(0)
    return 0.5 - 0.5 * np.cos(np.pi * np.arange(n) / n)


def _taper(freq):
    return 1.0 / (1.0 + (freq / 2600.0) ** 6)


def _add_note(out, rate, start, freq, level, decay, attack=0.004, release=0.03, end=None,
              detune=0.0015):
    """Mixes one mallet note into `out`, starting at `start` seconds.

    The note rings until `end` (default: the end of the sound) and is faded out over
    `release` before it. A quiet copy of the fundamental, detuned a little, beats slowly
    against it for warmth on the longer notes.
    """
    first = int(round(start * rate))
    last = len(out) if end is None else min(len(out), int(round(end * rate)))
    n = last - first
    t = np.arange(n) / rate
    tone = np.zeros(n)
    for ratio, amp, rel_decay in MALLET:
        f = freq * ratio
        if f > BRIGHTNESS_LIMIT or f > 0.42 * rate:
            continue
        tone += amp * _taper(f) * np.exp(-t / (decay * rel_decay)) * np.sin(2 * np.pi * f * t)
    tone += 0.25 * np.exp(-t / decay) * np.sin(2 * np.pi * freq * (1 + detune) * t)
    envelope = np.ones(n)
    a = min(n, int(round(attack * rate)))
    envelope[:a] = _ramp(a)
    r = min(n - a, int(round(release * rate)))
    if r > 0:
        envelope[n - r:] *= _ramp(r)[::-1]
    out[first:last] += level * envelope * tone


def _one_pole_lowpass(x, rate, cutoff):
    k = 1.0 - np.exp(-2 * np.pi * cutoff / rate)
    y = np.empty_like(x)
    acc = 0.0
    for i, v in enumerate(x):
        acc += k * (v - acc)
        y[i] = acc
    return y


def _soft_noise(rate, n, seed, cutoff):
    """Band-limited noise with no DC, for the strike of the click and the tock."""
    rng = np.random.default_rng(seed)
    noise = _one_pole_lowpass(rng.uniform(-1.0, 1.0, n), rate, cutoff)
    return noise - _one_pole_lowpass(noise, rate, 300.0)


def _finish(x, rate, fade_in=0.001, fade_out=0.02):
    """Forces silence at both ends with short raised-cosine fades."""
    x = x.copy()
    a = int(round(fade_in * rate))
    x[:a] *= _ramp(a)
    r = int(round(fade_out * rate))
    x[len(x) - r:] *= _ramp(r)[::-1]
    x[0] = 0.0
    x[-1] = 0.0
    return x


# --- The five sounds ------------------------------------------------------------------------
# Each builder returns floating-point samples; _normalise later sets the peak level.

def tap(rate, n):
    """A soft click: a damped C6 with a brief noise breath, over within about 12 ms."""
    t = np.arange(n) / rate
    body = np.exp(-t / 0.0035) * np.sin(2 * np.pi * C6 * t)
    body += 0.35 * np.exp(-t / 0.0015) * np.sin(2 * np.pi * 2.7 * C6 * t)
    breath = 0.5 * np.exp(-t / 0.0012) * _soft_noise(rate, n, seed=20000, cutoff=2200.0)
    attack = np.ones(n)
    attack[:12] = _ramp(12)  # about 1 ms: fast enough to click, slow enough not to pop
    return _finish(attack * (body + breath), rate, fade_in=0.0, fade_out=0.006)


def correct(rate, n):
    """Two quick rising chime notes, G5 then C6."""
    out = np.zeros(n)
    _add_note(out, rate, 0.000, G5, 0.8, decay=0.09, attack=0.003, end=0.075, release=0.02)
    _add_note(out, rate, 0.055, C6, 1.0, decay=0.08, attack=0.003)
    return _finish(out, rate, fade_out=0.035)


def level_up(rate, n):
    """C5-E5-G5-C6 ringing up into an open C major chord that slowly dies away."""
    out = np.zeros(n)
    for i, freq in enumerate((C5, E5, G5, C6)):
        _add_note(out, rate, 0.09 * i, freq, 0.7, decay=0.16, end=0.09 * i + 0.42, release=0.1)
    chord_start = 0.40
    for freq, level in ((C4, 0.55), (G4, 0.45), (E5, 0.4), (C6, 0.35)):
        _add_note(out, rate, chord_start, freq, level, decay=0.45, attack=0.015)
    return _finish(out, rate, fade_out=0.30)


def navigate(rate, n):
    """A wooden tock on C5: a few inharmonic block modes and a slight fall in pitch."""
    t = np.arange(n) / rate
    glide = 1.0 + 0.03 * np.exp(-t / 0.004)
    out = np.zeros(n)
    for ratio, amp, decay in ((1.0, 1.0, 0.016), (2.6, 0.3, 0.006), (4.3, 0.08, 0.003)):
        phase = 2 * np.pi * np.cumsum(C5 * ratio * glide) / rate
        out += amp * np.exp(-t / decay) * np.sin(phase - phase[0])
    out += 0.35 * np.exp(-t / 0.0015) * _soft_noise(rate, n, seed=20003, cutoff=3000.0)
    attack = np.ones(n)
    attack[:33] = _ramp(33)  # 1.5 ms
    return _finish(attack * out, rate, fade_in=0.0, fade_out=0.02)


def welcome(rate, n):
    """A friendly hello: G4 C5 E5 D5, then up to G5 and a long C6 over a soft C5."""
    out = np.zeros(n)
    melody = ((0.00, G4, 0.17), (0.17, C5, 0.17), (0.34, E5, 0.17), (0.51, D5, 0.25),
              (0.76, G5, 0.17))
    for start, freq, length in melody:
        _add_note(out, rate, start, freq, 0.8, decay=0.22, end=start + length + 0.12,
                  release=0.1)
    _add_note(out, rate, 0.93, C6, 0.8, decay=0.4)
    _add_note(out, rate, 0.93, C5, 0.35, decay=0.45, attack=0.02)
    return _finish(out, rate, fade_out=0.30)


BUILDERS = {"tap": tap, "correct": correct, "level_up": level_up, "navigate": navigate,
            "welcome": welcome}


# --- PCM output -----------------------------------------------------------------------------

def _normalise(x, peak):
    return x * (peak / np.max(np.abs(x)))


def to_pcm16(x):
    return np.round(x * 32767.0).astype("<i2").tobytes()


def to_pcm8(x, seed):
    """Unsigned 8-bit with triangular dither, gated by the signal's own level.

    Dither hides the buzz that bare rounding puts on a quiet decaying tone; the gate lets it
    fade out with the sound, so silence stays exactly 128 with no hiss left behind.
    """
    lsb = x * 127.0
    # The lesser of the mean level just behind and just ahead of each sample: it falls to
    # zero at both silent ends, where a centred average would still let dither through.
    window = np.ones(64) / 64
    behind = np.convolve(np.abs(lsb), window)[: len(x)]
    ahead = np.convolve(np.abs(lsb)[::-1], window)[: len(x)][::-1]
    gate = np.clip(np.minimum(behind, ahead) / 4.0, 0.0, 1.0)
    rng = np.random.default_rng(seed)
    dither = rng.uniform(-0.5, 0.5, len(x)) + rng.uniform(-0.5, 0.5, len(x))
    samples = np.round(lsb + gate * dither)
    return np.clip(samples + 128, 0, 255).astype(np.uint8).tobytes()


def render(name):
    """Returns (file name, rate, sample width, PCM bytes) of one sound."""
    file_name, resource, rate, width, seconds, peak = FORMATS[name]
    x = _normalise(BUILDERS[name](rate, frames_for(rate, seconds)), peak)
    pcm = to_pcm16(x) if width == 2 else to_pcm8(x, seed=resource)
    return file_name, rate, width, pcm


def write_wave(path, rate, width, pcm):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(width)
        out.setframerate(rate)
        out.writeframes(pcm)


def read_samples(path):
    """Returns (rate, sample width, channels, samples as floats in -1..1) of a WAVE file."""
    with wave.open(str(path), "rb") as wav:
        rate, width, channels = wav.getframerate(), wav.getsampwidth(), wav.getnchannels()
        raw = wav.readframes(wav.getnframes())
    if width == 1:
        samples = (np.frombuffer(raw, np.uint8).astype(float) - 128.0) / 128.0
    else:
        samples = np.frombuffer(raw, "<i2").astype(float) / 32768.0
    return rate, width, channels, samples


def describe(path):
    """One line of facts about a written sound, for checking it by eye."""
    rate, width, channels, x = read_samples(path)
    peak = np.max(np.abs(x))
    power = np.abs(np.fft.rfft(x)) ** 2
    freqs = np.fft.rfftfreq(len(x), 1.0 / rate)
    low = power[freqs < 3000.0].sum() / power.sum()
    ends = "silent" if x[0] == 0.0 and x[-1] == 0.0 else "NOT SILENT"
    return (f"{pathlib.Path(path).name:13} {rate:5d} Hz {8 * width:2d}-bit {channels} ch "
            f"{len(x):6d} frames {1000.0 * len(x) / rate:7.2f} ms  peak {20 * np.log10(peak):5.1f}"
            f" dBFS  DC {np.mean(x):+.4f}  below 3 kHz {100 * low:5.1f}%  ends {ends}")


def generate(sound_dir):
    """Writes the five sounds into `sound_dir`; returns their paths."""
    sound_dir = pathlib.Path(sound_dir)
    sound_dir.mkdir(parents=True, exist_ok=True)
    paths = []
    for name in FORMATS:
        file_name, rate, width, pcm = render(name)
        path = sound_dir / file_name
        write_wave(path, rate, width, pcm)
        # Read back what was written: the program relies on these exact formats.
        with wave.open(str(path), "rb") as check:
            found = (check.getnchannels(), check.getframerate(), check.getsampwidth(),
                     check.getnframes())
        wanted = (1, rate, width, frames_for(rate, FORMATS[name][4]))
        if found != wanted:
            raise AssertionError(f"{path}: (channels, rate, width, frames) {found} != {wanted}")
        paths.append(path)
    return paths


def main(argv):
    if len(argv) != 2:
        print(f"usage: {argv[0]} <sound_dir>", file=sys.stderr)
        return 2
    for path in generate(argv[1]):
        print(describe(path))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
