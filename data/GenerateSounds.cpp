// Writes the interface sounds (Click, Menu, Min, Exit, Intro) as 16-bit mono WAV files at 44100 Hz
// into the folder given on the command line. Each sound is a few soft sine notes with smooth
// attacks and releases, so nothing clicks at the start or the end.
//   tavu_generate_sounds OUTDIR

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

// One note: a sine gliding from `from` to `to` Hz, with a raised-cosine attack, an exponential
// decay and a raised-cosine release over its last part. `bell` adds the inharmonic partials of a
// small chime.
struct Note {
    double start;  // s
    double length; // s
    double from;   // Hz
    double to;     // Hz
    double level;
    double decay;          // s, time constant
    double attack = 0.004; // s
    double release = 0.02; // s
    bool bell = false;
};

struct Sound {
    const char* name;
    double length; // s
    double peak;   // of full scale
    std::vector<Note> notes;
};

double fadeIn(double t, double span)
{
    return t >= span ? 1.0 : 0.5 - 0.5 * std::cos(std::numbers::pi * t / span);
}

void render(const Note& note, std::vector<double>& out)
{
    const auto first = static_cast<std::size_t>(note.start * kRate);
    const auto count = static_cast<std::size_t>(note.length * kRate);
    double phase = 0.0;
    for (std::size_t i = 0; i < count && first + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double glide = note.from * std::pow(note.to / note.from, t / note.length);
        phase += 2.0 * std::numbers::pi * glide / kRate;
        double wave = std::sin(phase);
        if (note.bell)
            wave += 0.30 * std::sin(2.0 * phase) * std::exp(-t / (note.decay * 0.5)) +
                    0.12 * std::sin(2.76 * phase) * std::exp(-t / (note.decay * 0.3));
        const double envelope =
            fadeIn(t, note.attack) * std::exp(-t / note.decay) * fadeIn(note.length - t, note.release);
        out[first + i] += note.level * envelope * wave;
    }
}

std::vector<std::int16_t> synthesize(const Sound& sound)
{
    std::vector<double> mix(static_cast<std::size_t>(sound.length * kRate), 0.0);
    for (const Note& note : sound.notes)
        render(note, mix);
    // Scale to the wanted peak, then make sure the very ends are silent.
    double peak = 0.0;
    for (double v : mix)
        peak = std::max(peak, std::abs(v));
    const double scale = peak > 0.0 ? sound.peak * 32767.0 / peak : 0.0;
    std::vector<std::int16_t> samples(mix.size());
    for (std::size_t i = 0; i < mix.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double edge = fadeIn(t, 0.002) * fadeIn(sound.length - t - 1.0 / kRate, 0.004);
        samples[i] = static_cast<std::int16_t>(std::lround(mix[i] * scale * edge));
    }
    return samples;
}

void put16(std::ofstream& out, unsigned v)
{
    out.put(static_cast<char>(v & 0xFF)).put(static_cast<char>((v >> 8) & 0xFF));
}
void put32(std::ofstream& out, std::uint32_t v)
{
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

bool writeWav(const std::filesystem::path& path, const std::vector<std::int16_t>& samples)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out << "RIFF";
    put32(out, 36 + dataBytes);
    out << "WAVEfmt ";
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out << "data";
    put32(out, dataBytes);
    for (std::int16_t s : samples)
        put16(out, static_cast<std::uint16_t>(s));
    out.close();
    return static_cast<bool>(out);
}

// Notes of the equal-tempered scale, in Hz.
constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, A5 = 880.00, C6 = 1046.50, E6 = 1318.51;

std::vector<Sound> sounds()
{
    return {
        // A soft tick: a short high ping over a quieter low knock, 22 ms.
        {"Click.wav",
         0.022,
         0.30,
         {{0.0, 0.022, 2400, 1900, 0.6, 0.004, 0.0008, 0.006}, {0.0, 0.022, 800, 650, 1.0, 0.007, 0.0008, 0.006}}},
        // Two quick rising tones.
        {"Menu.wav",
         0.15,
         0.40,
         {{0.0, 0.07, A5, A5, 1.0, 0.08, 0.004, 0.012}, {0.065, 0.085, E6, E6, 0.9, 0.07, 0.004, 0.02}}},
        // One tone falling an octave.
        {"Min.wav", 0.17, 0.40, {{0.0, 0.17, 1100, 550, 1.0, 0.12, 0.004, 0.03}}},
        // A descending three-note chime.
        {"Exit.wav",
         0.6,
         0.45,
         {{0.00, 0.32, G5, G5, 1.0, 0.16, 0.003, 0.08, true},
          {0.14, 0.32, E5, E5, 1.0, 0.16, 0.003, 0.08, true},
          {0.28, 0.32, C5, C5, 1.0, 0.20, 0.003, 0.10, true}}},
        // A rising arpeggio whose top note rings out.
        {"Intro.wav",
         1.2,
         0.45,
         {{0.00, 0.50, C5, C5, 0.8, 0.25, 0.005, 0.10, true},
          {0.16, 0.50, E5, E5, 0.8, 0.25, 0.005, 0.10, true},
          {0.32, 0.50, G5, G5, 0.8, 0.25, 0.005, 0.10, true},
          {0.48, 0.72, C6, C6, 1.0, 0.32, 0.005, 0.25, true}}},
    };
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << "usage: tavu_generate_sounds OUTDIR\n";
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    for (const Sound& sound : sounds()) {
        if (!writeWav(dir / sound.name, synthesize(sound))) {
            std::cerr << "tavu_generate_sounds: cannot write " << (dir / sound.name).string() << "\n";
            return 1;
        }
    }
    return 0;
}
