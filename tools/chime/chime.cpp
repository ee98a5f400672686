// Synthesises the alarm's built-in chime, the sound of a chosen music file
// that cannot be played: two struck bell notes, C6 then G5 ("ding-dong"),
// each a fundamental with a faint inharmonic overtone and an exponential
// decay, faded to silence before the end so repeated plays stay apart.
// Written as 16-bit mono PCM WAV.
//   quorvel_chime OUTPUT.wav
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kLength = 1.2;    // seconds, of which the last are silent
constexpr double kFadeFrom = 0.6;  // the sound fades out linearly from here...
constexpr double kFadeTo = 0.8;    // ...to here

struct Note {
    double start;  // seconds
    double freq;   // Hz
};
constexpr Note kNotes[] = {{0.0, 1046.5}, {0.28, 784.0}};

double bell(double t, double freq) {
    if (t < 0) return 0;
    const double attack = std::min(1.0, t / 0.004);  // no click at the strike
    const double tone =
        std::sin(2 * std::numbers::pi * freq * t) +
        0.25 * std::exp(-t / 0.08) * std::sin(2 * std::numbers::pi * 2.76 * freq * t);
    return attack * std::exp(-t / 0.3) * tone;
}

void put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: quorvel_chime OUTPUT.wav\n";
        return 2;
    }
    const int count = static_cast<int>(kRate * kLength);
    std::vector<std::int16_t> pcm(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0;
        for (const Note& n : kNotes) v += bell(t - n.start, n.freq);
        const double fade = std::clamp((kFadeTo - t) / (kFadeTo - kFadeFrom), 0.0, 1.0);
        pcm[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(0.4 * 32767 * fade * v / 1.25));
    }
    const std::uint32_t data = static_cast<std::uint32_t>(pcm.size() * 2);
    std::string out = "RIFF";
    put(out, 36 + data, 4);
    out += "WAVEfmt ";
    put(out, 16, 4);
    put(out, 1, 2);  // PCM
    put(out, 1, 2);  // mono
    put(out, kRate, 4);
    put(out, kRate * 2, 4);
    put(out, 2, 2);
    put(out, 16, 2);
    out += "data";
    put(out, data, 4);
    for (std::int16_t s : pcm) put(out, static_cast<std::uint16_t>(s), 2);
    std::ofstream file(argv[1], std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    return file ? 0 : 1;
}
