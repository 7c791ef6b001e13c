// Synthesises the program's default media: the ten effect waves, the looping background music
// and the source of the player's default music (encoded afterwards by the build). Everything is
// computed from fixed numbers, so every build makes the same files.
//
//   make_media <sound folder> <path of the player music's wave>

#include "scoring/sound_effects.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using morvast::effectInfo;
using morvast::kEffects;
using morvast::SoundEffect;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kEffectRate = 15000;  // the effects' default playback frequency
constexpr int kMusicRate = 13500;   // the music's default playback frequency

// A fixed pseudo-random sequence (xorshift), for noise that is the same in every build.
class Noise {
  public:
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) / static_cast<double>(1ULL << 53) * 2.0 - 1.0;
    }

  private:
    uint64_t state_ = 0x9E3779B97F4A7C15ULL;
};

struct Stereo {
    std::vector<double> left, right;
    explicit Stereo(size_t frames = 0) : left(frames, 0.0), right(frames, 0.0) {}
    size_t frames() const { return left.size(); }
};

void put16(std::FILE* f, uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}
void put32(std::FILE* f, uint32_t v) {
    put16(f, static_cast<uint16_t>(v));
    put16(f, static_cast<uint16_t>(v >> 16));
}

bool writeWave(const std::string& path, const std::vector<std::vector<double>>& channels,
               int rate) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const auto count = static_cast<uint32_t>(channels.size());
    const auto frames = static_cast<uint32_t>(channels[0].size());
    const uint32_t bytes = frames * count * 2;
    std::fwrite("RIFF", 1, 4, f);
    put32(f, 36 + bytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 1);  // integer PCM
    put16(f, static_cast<uint16_t>(count));
    put32(f, static_cast<uint32_t>(rate));
    put32(f, static_cast<uint32_t>(rate) * count * 2);
    put16(f, static_cast<uint16_t>(count * 2));
    put16(f, 16);
    std::fwrite("data", 1, 4, f);
    put32(f, bytes);
    for (uint32_t i = 0; i < frames; ++i) {
        for (const auto& c : channels) {
            const double x = std::clamp(c[i], -1.0, 1.0);
            put16(f, static_cast<uint16_t>(static_cast<int16_t>(std::lround(x * 32767.0))));
        }
    }
    return std::fclose(f) == 0;
}

void normalise(std::vector<double*> data, size_t n, double peak) {
    double top = 1e-9;
    for (double* d : data)
        for (size_t i = 0; i < n; ++i)
            top = std::max(top, std::abs(d[i]));
    for (double* d : data)
        for (size_t i = 0; i < n; ++i)
            d[i] *= peak / top;
}

// ---- effects ------------------------------------------------------------------------------

// Attack and release ramps keep every effect from starting or ending with a click.
double envelope(double t, double length, double attack, double decayRate) {
    const double a = std::min(1.0, t / attack);
    const double release = std::min(1.0, (length - t) / 0.008);
    return a * std::exp(-decayRate * t) * std::max(0.0, release);
}

using Shape = std::function<double(double t, double& phase, Noise& noise)>;

std::vector<double> effect(double seconds, const Shape& shape) {
    const auto n = static_cast<size_t>(seconds * kEffectRate);
    std::vector<double> out(n);
    double phase = 0;
    Noise noise;
    for (size_t i = 0; i < n; ++i)
        out[i] = shape(static_cast<double>(i) / kEffectRate, phase, noise);
    std::vector<double*> one{out.data()};
    normalise(one, n, 0.7);
    return out;
}

// A sine whose frequency glides from f0 to f1; the phase is integrated so the glide is smooth.
double glide(double t, double length, double f0, double f1, double& phase) {
    const double f = f0 + (f1 - f0) * std::min(1.0, t / length);
    phase += 2 * kPi * f / kEffectRate;
    return std::sin(phase);
}

struct EffectFile {
    SoundEffect id;
    std::vector<double> samples;
};

std::vector<EffectFile> makeEffects() {
    std::vector<EffectFile> e;
    e.push_back({SoundEffect::Left, effect(0.08, [](double t, double& p, Noise&) {
                     return glide(t, 0.08, 700, 500, p) * envelope(t, 0.08, 0.004, 20);
                 })});
    e.push_back({SoundEffect::Right, effect(0.08, [](double t, double& p, Noise&) {
                     return glide(t, 0.08, 500, 700, p) * envelope(t, 0.08, 0.004, 20);
                 })});
    e.push_back({SoundEffect::Rotate, effect(0.11, [](double t, double& p, Noise&) {
                     const double s = glide(t, 0.11, 900, 1400, p);
                     return (s + 0.3 * std::sin(3 * p)) * envelope(t, 0.11, 0.003, 18);
                 })});
    e.push_back({SoundEffect::Drop1, effect(0.28, [](double t, double& p, Noise& n) {
                     const double body = glide(t, 0.28, 420, 90, p);
                     return (0.8 * body + 0.25 * n.next() * std::exp(-12 * t)) *
                            envelope(t, 0.28, 0.006, 6);
                 })});
    e.push_back({SoundEffect::Drop2, effect(0.24, [](double t, double& p, Noise&) {
                     const double body = glide(t, 0.24, 600, 150, p);
                     return (body + 0.4 * std::sin(2 * p)) * envelope(t, 0.24, 0.005, 8);
                 })});
    e.push_back({SoundEffect::Down1, effect(0.16, [](double t, double& p, Noise& n) {
                     const double thud = glide(t, 0.16, 140, 70, p);
                     return (thud + 0.35 * n.next() * std::exp(-90 * t)) *
                            envelope(t, 0.16, 0.002, 22);
                 })});
    e.push_back({SoundEffect::Down2, effect(0.14, [](double t, double& p, Noise&) {
                     const double knock = glide(t, 0.14, 190, 150, p);
                     return (knock + 0.5 * std::sin(2.01 * p)) * envelope(t, 0.14, 0.002, 28);
                 })});
    // A rising major arpeggio for a removed line.
    e.push_back({SoundEffect::DelLin, effect(0.45, [](double t, double&, Noise&) {
                     const double notes[4] = {523.25, 659.25, 783.99, 1046.5};
                     double s = 0;
                     for (int k = 0; k < 4; ++k) {
                         const double start = 0.07 * k;
                         if (t < start) break;
                         const double u = t - start;
                         s += std::sin(2 * kPi * notes[k] * u) * std::min(1.0, u / 0.004) *
                              std::exp(-7 * u);
                     }
                     return s * envelope(t, 0.45, 0.001, 0);
                 })});
    // A shimmering bell with vibrato for a special figure.
    e.push_back({SoundEffect::Morvast, effect(0.65, [](double t, double& p, Noise&) {
                     const double f = 1180 + 40 * std::sin(2 * kPi * 9 * t);
                     p += 2 * kPi * f / kEffectRate;
                     const double mod = 1.6 * std::exp(-4 * t) * std::sin(1.41 * p);
                     return std::sin(p + mod) * envelope(t, 0.65, 0.005, 4.5);
                 })});
    // A wobbling ring-modulated tone for the inversion.
    e.push_back({SoundEffect::Inverse, effect(0.22, [](double t, double& p, Noise&) {
                     const double s = glide(t, 0.22, 650, 800, p);
                     return s * std::sin(2 * kPi * 28 * t + kPi / 2) * envelope(t, 0.22, 0.004, 7);
                 })});
    return e;
}

// ---- music --------------------------------------------------------------------------------

double midiHz(int note) {
    return 440.0 * std::pow(2.0, (note - 69) / 12.0);
}

struct Piece {
    int rate;
    double beat;                           // seconds
    std::vector<std::vector<int>> chords;  // one chord per bar of four beats, MIDI notes
    std::vector<int> melody;               // one note per half beat, 0 = rest
};

// Adds a note into the circular piece: whatever runs past the end continues at the start, so
// the file loops without a seam.
void addNote(Stereo& out, int rate, double start, double length, double hz, double level,
             double pan, double decay, bool soft) {
    const auto n = static_cast<size_t>((length + 1.5) * rate);
    const auto begin = static_cast<size_t>(start * rate);
    const double gl = level * std::sqrt(0.5 * (1 - pan)), gr = level * std::sqrt(0.5 * (1 + pan));
    for (size_t i = 0; i < n; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double attack = std::min(1.0, t / (soft ? 0.35 : 0.006));
        const double hold = t < length ? 1.0 : std::exp(-(t - length) * 6.0);
        const double env = attack * hold * std::exp(-decay * t);
        if (env < 1e-5 && t > length) break;
        double s = std::sin(2 * kPi * hz * t);
        if (!soft) s += 0.25 * std::sin(4 * kPi * hz * t) * std::exp(-3 * t);
        const size_t at = (begin + i) % out.frames();
        out.left[at] += s * env * gl;
        out.right[at] += s * env * gr;
    }
}

Stereo renderPiece(const Piece& piece) {
    const double bar = 4 * piece.beat;
    const auto frames = static_cast<size_t>(std::lround(bar * piece.chords.size() * piece.rate));
    Stereo out(frames);
    for (size_t b = 0; b < piece.chords.size(); ++b) {
        const auto& chord = piece.chords[b];
        const double t0 = b * bar;
        // A soft pad holding the chord for the whole bar.
        for (size_t k = 0; k < chord.size(); ++k) {
            addNote(out, piece.rate, t0, bar, midiHz(chord[k]), 0.10, k % 2 ? 0.4 : -0.4, 0.05,
                    true);
        }
        // The bass on every beat, the root an octave down.
        for (int beat = 0; beat < 4; ++beat) {
            addNote(out, piece.rate, t0 + beat * piece.beat, piece.beat * 0.6,
                    midiHz(chord[0] - 12), beat % 2 ? 0.16 : 0.22, 0.0, 2.5, false);
        }
        // A plucked arpeggio sweeping between the sides.
        for (int step = 0; step < 8; ++step) {
            const int note = chord[static_cast<size_t>(step) % chord.size()] + (step >= 4 ? 12 : 0);
            addNote(out, piece.rate, t0 + step * piece.beat / 2, piece.beat * 0.3, midiHz(note),
                    0.08, step % 2 ? 0.6 : -0.6, 4.0, false);
        }
    }
    for (size_t i = 0; i < piece.melody.size(); ++i) {
        if (piece.melody[i] == 0) continue;
        addNote(out, piece.rate, i * piece.beat / 2, piece.beat * 0.45, midiHz(piece.melody[i]),
                0.13, 0.1, 1.8, false);
    }
    normalise({out.left.data(), out.right.data()}, frames, 0.8);
    return out;
}

Piece backgroundPiece() {
    // Eight bars of a minor progression at 80 beats a minute: a 24-second loop.
    Piece p{kMusicRate, 0.75, {}, {}};
    const std::vector<std::vector<int>> cycle = {{57, 60, 64}, {53, 57, 60}, {48, 52, 55},
                                                 {55, 59, 62}, {57, 60, 64}, {50, 53, 57},
                                                 {52, 56, 59}, {57, 60, 64}};
    p.chords = cycle;
    const int tune[64] = {76, 0, 74, 72, 71, 0, 72, 0,  69, 0, 72, 0, 76, 0, 0,  0,
                          67, 0, 69, 71, 72, 0, 71, 69, 67, 0, 0,  0, 74, 0, 71, 0,
                          72, 0, 74, 76, 77, 0, 76, 74, 72, 0, 0,  0, 69, 0, 0,  0,
                          71, 0, 72, 0,  68, 0, 71, 0,  69, 0, 0,  0, 0,  0, 0,  0};
    p.melody.assign(tune, tune + 64);
    return p;
}

Piece playerPiece() {
    // Twelve bars in a major key at 96 beats a minute, about 30 seconds.
    Piece p{44100, 0.625, {}, {}};
    p.chords = {{60, 64, 67}, {55, 59, 62}, {57, 60, 64}, {52, 55, 59}, {53, 57, 60}, {48, 52, 55},
                {53, 57, 60}, {55, 59, 62}, {60, 64, 67}, {57, 60, 64}, {50, 53, 57}, {55, 59, 62}};
    const int tune[32] = {72, 0, 76, 0, 79, 0, 76, 74, 71, 0, 74, 0, 79, 0, 0,  0,
                          76, 0, 72, 0, 69, 0, 72, 76, 71, 0, 0,  0, 67, 0, 71, 74};
    for (int r = 0; r < 3; ++r)
        p.melody.insert(p.melody.end(), tune, tune + 32);
    return p;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <sound folder> <player music wave>\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    bool ok = true;
    const std::vector<EffectFile> effects = makeEffects();
    if (effects.size() != kEffects.size()) {
        std::fprintf(stderr, "make_media: %zu effects made for a table of %zu\n", effects.size(),
                     kEffects.size());
        return 1;
    }
    for (const EffectFile& e : effects)
        ok = ok && writeWave(folder + "/" + effectInfo(e.id).fileName, {e.samples}, kEffectRate);
    const Stereo music = renderPiece(backgroundPiece());
    ok = ok && writeWave(folder + "/bkgmusic.WAV", {music.left, music.right}, kMusicRate);
    const Stereo player = renderPiece(playerPiece());
    ok = ok && writeWave(argv[2], {player.left, player.right}, 44100);
    if (!ok) {
        std::fprintf(stderr, "make_media: cannot write the media\n");
        return 1;
    }
    return 0;
}
