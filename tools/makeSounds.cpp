// Usage: makeSounds [outputDir]   (run from the repo root; outputDir defaults to "sounds")
//
// Synthesizes the game's sounds from sines, envelopes and filtered noise and
// writes them as 16-bit mono PCM WAV files: a soft tap for each change of the
// player's cell, a low wooden knock for a red block's step and a bright
// glassy ping for a blue block's, a dull bump for a refused move, the undo,
// restart, hint and win jingles, a menu click, and a minute-long ambient
// music loop. The music is mixed into a circular buffer (every note's tail
// wraps round to the start) from pad tones whose periods divide the loop's
// length, so its last sample flows into its first. Same output every run:
// the noise is a fixed hash.
#include "game/sound.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int effectRate = 44100;
constexpr int musicRate = 22050;
constexpr double musicSeconds = 64.0;
constexpr double twoPi = 6.283185307179586;

using Samples = std::vector<double>;

double noteHz(int semitonesFromA4) {
    return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0);
}

// White noise from a fixed hash, in -1..1.
double noiseAt(std::uint32_t index) {
    std::uint32_t h = index * 0x9e3779b9u + 0x7f4a7c15u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return double(h) / 2147483647.5 - 1.0;
}

// A short rise (no click at the start) and an exponential fall.
double pluck(double t, double attack, double decay) {
    if (t < 0.0) {
        return 0.0;
    }
    const double rise = t < attack ? t / attack : 1.0;
    return rise * std::exp(-t / decay);
}

Samples silence(double seconds, int rate = effectRate) {
    return Samples(std::size_t(seconds * rate), 0.0);
}

// Adds a tone from `start` seconds: the sine's partials (multiple, level)
// under one envelope, its pitch sliding by `glide` (a factor reached at the
// end of the decay).
struct Partial {
    double multiple;
    double level;
};
void addTone(Samples& out, double start, double hz, double level, double attack, double decay,
             std::initializer_list<Partial> partials, double glide = 1.0, int rate = effectRate) {
    double phase = 0.0;
    const std::size_t first = std::size_t(start * rate);
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = double(i - first) / rate;
        const double envelope = pluck(t, attack, decay);
        if (t > attack && envelope < 1e-4) {
            break;
        }
        const double slide = std::pow(glide, std::min(1.0, t / (decay * 3.0)));
        phase += twoPi * hz * slide / rate;
        double value = 0.0;
        for (const Partial& partial : partials) {
            value += partial.level * std::sin(phase * partial.multiple);
        }
        out[i] += level * envelope * value;
    }
}

// Noise through a one-pole low-pass at `cutoff` Hz under a pluck envelope.
void addNoise(Samples& out, double start, double level, double cutoff, double attack, double decay,
              std::uint32_t seed) {
    const double a = 1.0 - std::exp(-twoPi * cutoff / effectRate);
    double filtered = 0.0;
    const std::size_t first = std::size_t(start * effectRate);
    for (std::size_t i = first; i < out.size(); ++i) {
        const double t = double(i - first) / effectRate;
        filtered += a * (noiseAt(seed + std::uint32_t(i)) - filtered);
        out[i] += level * pluck(t, attack, decay) * filtered;
    }
}

// The whole sound scaled to the peak; a short fade at the end so no sound
// stops on a click.
Samples normalised(Samples samples, double peak, int rate = effectRate) {
    double highest = 0.0;
    for (double s : samples) {
        highest = std::max(highest, std::abs(s));
    }
    const double scale = highest > 0.0 ? peak / highest : 0.0;
    const std::size_t fade = std::min(samples.size(), std::size_t(0.01 * rate));
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] *= scale;
        const std::size_t fromEnd = samples.size() - 1 - i;
        if (fromEnd < fade) {
            samples[i] *= double(fromEnd) / double(fade);
        }
    }
    return samples;
}

// ---------------------------------------------------------------- effects

Samples playerStep() {
    Samples out = silence(0.14);
    addTone(out, 0.0, 180.0, 0.6, 0.004, 0.03, {{1.0, 1.0}, {2.0, 0.2}}, 0.8);
    addNoise(out, 0.0, 0.5, 1200.0, 0.002, 0.02, 11);
    return normalised(out, 0.35);
}

// Low and woody: a falling knock with a body of low partials.
Samples redStep() {
    Samples out = silence(0.25);
    addTone(out, 0.0, noteHz(-17), 0.8, 0.003, 0.05, {{1.0, 1.0}, {2.0, 0.5}, {3.0, 0.25}}, 0.85);
    addNoise(out, 0.0, 0.4, 900.0, 0.001, 0.015, 23);
    return normalised(out, 0.6);
}

// High and glassy: a bell's inharmonic partials, rising slightly.
Samples blueStep() {
    Samples out = silence(0.35);
    addTone(out, 0.0, noteHz(10), 0.7, 0.002, 0.07, {{1.0, 1.0}, {2.76, 0.4}, {5.4, 0.15}}, 1.03);
    return normalised(out, 0.55);
}

// A dull thud: a low sine falling in pitch and a puff of dark noise.
Samples bump() {
    Samples out = silence(0.2);
    addTone(out, 0.0, 95.0, 1.0, 0.003, 0.04, {{1.0, 1.0}, {1.5, 0.2}}, 0.6);
    addNoise(out, 0.0, 0.6, 400.0, 0.001, 0.03, 37);
    return normalised(out, 0.55);
}

Samples undo() {
    Samples out = silence(0.3);
    addTone(out, 0.0, noteHz(7), 0.6, 0.005, 0.05, {{1.0, 1.0}, {2.0, 0.15}});
    addTone(out, 0.08, noteHz(2), 0.6, 0.005, 0.06, {{1.0, 1.0}, {2.0, 0.15}});
    return normalised(out, 0.5);
}

// Three notes down and a soft sweep of noise: everything goes back.
Samples restart() {
    Samples out = silence(0.55);
    const int notes[] = {12, 7, 3, 0};
    for (int i = 0; i < 4; ++i) {
        addTone(out, 0.07 * i, noteHz(notes[i]), 0.5, 0.005, 0.06, {{1.0, 1.0}, {3.0, 0.1}});
    }
    addNoise(out, 0.0, 0.2, 2500.0, 0.15, 0.08, 41);
    return normalised(out, 0.5);
}

// Two bell strokes a fifth apart.
Samples hintChime() {
    Samples out = silence(0.9);
    addTone(out, 0.0, noteHz(15), 0.6, 0.003, 0.2, {{1.0, 1.0}, {2.0, 0.3}, {3.01, 0.12}});
    addTone(out, 0.12, noteHz(22), 0.5, 0.003, 0.25, {{1.0, 1.0}, {2.0, 0.3}, {3.01, 0.12}});
    return normalised(out, 0.55);
}

// An arpeggio up to the octave, then the chord held and fading.
Samples win() {
    Samples out = silence(1.8);
    const int notes[] = {3, 7, 10, 15};
    for (int i = 0; i < 4; ++i) {
        addTone(out, 0.1 * i, noteHz(notes[i]), 0.5, 0.005, 0.12, {{1.0, 1.0}, {2.0, 0.25}});
    }
    for (int note : {3, 7, 10, 15}) {
        addTone(out, 0.42, noteHz(note), 0.3, 0.03, 0.45, {{1.0, 1.0}, {2.0, 0.2}, {3.0, 0.08}});
    }
    return normalised(out, 0.7);
}

Samples menuClick() {
    Samples out = silence(0.05);
    addTone(out, 0.0, 1400.0, 1.0, 0.001, 0.008, {{1.0, 1.0}, {1.5, 0.3}});
    return normalised(out, 0.4);
}

// ---------------------------------------------------------------- music

// A frequency the loop holds a whole number of periods of.
double loopHz(double hz) {
    return std::round(hz * musicSeconds) / musicSeconds;
}

// How much of chord `index` of `count` sounds at loop time t: a raised cosine
// round its quarter of the loop, overlapping its neighbours, and periodic in
// the loop's length.
double chordWeight(double t, int index, int count) {
    const double centre = (index + 0.5) / count;
    double distance = std::abs(t / musicSeconds - centre);
    distance = std::min(distance, 1.0 - distance) * count; // in chords
    return distance >= 1.0 ? 0.0 : 0.5 * (1.0 + std::cos(distance * twoPi * 0.5));
}

// Four chords, each a soft pad of slightly detuned pairs; a slow swell.
void addPad(Samples& out) {
    const std::vector<std::vector<int>> chords = {
        {-12, -9, -5, 0}, {-16, -12, -9, -4}, {-21, -14, -9, -5}, {-14, -10, -7, -2}};
    const int count = int(chords.size());
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / musicRate;
        const double swell = 0.8 + 0.2 * std::sin(twoPi * t * 4.0 / musicSeconds);
        double value = 0.0;
        for (int c = 0; c < count; ++c) {
            const double weight = chordWeight(t, c, count);
            if (weight == 0.0) {
                continue;
            }
            for (int note : chords[std::size_t(c)]) {
                const double hz = loopHz(noteHz(note));
                const double detuned = hz + 3.0 / musicSeconds;
                value += weight * (std::sin(twoPi * hz * t) + 0.6 * std::sin(twoPi * detuned * t) +
                                   0.15 * std::sin(twoPi * 2.0 * hz * t));
            }
        }
        out[i] += swell * value;
    }
}

// Slow bell notes from the chord that sounds, their tails wrapped round.
void addBells(Samples& out) {
    const int pattern[] = {12, 19, 15, 24, 17, 12, 22, 15};
    const double noteEvery = 2.0;
    const std::size_t length = out.size();
    const int notes = int(musicSeconds / noteEvery);
    for (int n = 0; n < notes; ++n) {
        const double hz = noteHz(pattern[n % 8] - 12 * ((n / 8) % 2));
        const std::size_t start = std::size_t(n * noteEvery * musicRate);
        const std::size_t span = std::size_t(3.0 * musicRate);
        for (std::size_t k = 0; k < span; ++k) {
            const double t = double(k) / musicRate;
            const double value = pluck(t, 0.01, 0.6) *
                                 (std::sin(twoPi * hz * t) + 0.2 * std::sin(twoPi * 2.0 * hz * t));
            out[(start + k) % length] += 0.5 * value;
        }
    }
}

Samples music() {
    Samples out = silence(musicSeconds, musicRate);
    addPad(out);
    addBells(out);
    double highest = 0.0;
    for (double s : out) {
        highest = std::max(highest, std::abs(s));
    }
    for (double& s : out) {
        s *= 0.3 / highest; // well under the effects
    }
    return out;
}

// ---------------------------------------------------------------- files

bool writeWav(const std::string& path, const Samples& samples, int rate) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "makeSounds: cannot write %s: %s\n", path.c_str(),
                     sf_strerror(nullptr));
        return false;
    }
    std::vector<short> pcm(samples.size());
    std::transform(samples.begin(), samples.end(), pcm.begin(),
                   [](double s) { return short(std::lround(std::clamp(s, -1.0, 1.0) * 32767.0)); });
    const bool complete =
        sf_write_short(file, pcm.data(), sf_count_t(pcm.size())) == sf_count_t(pcm.size());
    sf_close(file);
    return complete;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? argv[1] : "sounds";
    const std::function<Samples()> makers[soundKindCount] = {
        playerStep, redStep, blueStep, bump, undo, restart, hintChime, win, menuClick};
    bool ok = true;
    for (int kind = 0; kind < soundKindCount; ++kind) {
        ok = writeWav(folder + "/" + soundFileName(SoundKind(kind)), makers[kind](), effectRate) &&
             ok;
    }
    ok = writeWav(folder + "/" + musicFileName, music(), musicRate) && ok;
    return ok ? 0 : 1;
}
