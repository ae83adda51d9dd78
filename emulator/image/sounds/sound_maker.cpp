// Makes the device image's built-in sounds at build time: each is synthesised here from
// oscillators, noise and envelopes, and encoded with the platform's AMR-NB encoder.
//   tovarin-sound-maker OUTPUT_FOLDER
// writes greeting.amr, the ten background sounds and the nine effects into OUTPUT_FOLDER.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "host/amr_nb.h"

namespace {

constexpr double kRate = 8000.0;
constexpr double kTau = 2.0 * std::numbers::pi;

// A mono signal in [-1, 1], built up by adding voices.
class Signal {
  public:
    explicit Signal(double seconds) : samples_(static_cast<size_t>(seconds * kRate), 0.0) {}

    double Seconds() const { return samples_.size() / kRate; }

    // Adds f(t) between from and to seconds, shaped by an attack/release envelope.
    void Add(double from, double to, double attack, double release,
             const std::function<double(double)>& f) {
        for (size_t i = Index(from); i < Index(to); ++i) {
            const double t = i / kRate;
            double gain = 1.0;
            if (t - from < attack) {
                gain = (t - from) / attack;
            }
            if (to - t < release) {
                gain = std::min(gain, (to - t) / release);
            }
            samples_[i] += gain * f(t - from);
        }
    }

    std::vector<int16_t> Pcm() const {
        double peak = 1e-9;
        for (double s : samples_) {
            peak = std::max(peak, std::abs(s));
        }
        std::vector<int16_t> pcm(samples_.size());
        for (size_t i = 0; i < samples_.size(); ++i) {
            pcm[i] = static_cast<int16_t>(std::lround(samples_[i] / peak * 20000.0));
        }
        return pcm;
    }

  private:
    size_t Index(double t) const {
        return std::min(samples_.size(), static_cast<size_t>(std::max(0.0, t) * kRate));
    }
    std::vector<double> samples_;
};

double Sine(double hz, double t) {
    return std::sin(kTau * hz * t);
}

// A tone with a few harmonics, falling off as 1/n^k.
double Rich(double hz, double t, int harmonics, double k) {
    double s = 0;
    for (int n = 1; n <= harmonics && n * hz < 3800; ++n) {
        s += Sine(hz * n, t) / std::pow(n, k);
    }
    return s;
}

// Noise through a one-pole low-pass: a smaller alpha is darker.
class Noise {
  public:
    Noise(uint32_t seed, double alpha) : random_(seed), alpha_(alpha) {}
    double operator()(double) {
        state_ += alpha_ * (dist_(random_) - state_);
        return state_;
    }

  private:
    std::mt19937 random_;
    std::uniform_real_distribution<double> dist_{-1.0, 1.0};
    double alpha_;
    double state_ = 0;
};

std::function<double(double)> NoiseVoice(uint32_t seed, double alpha, double gain) {
    auto noise = std::make_shared<Noise>(seed, alpha);
    return [noise, gain](double t) { return gain * (*noise)(t); };
}

// Short decaying bursts of noise at the given times (claps, clicks, steps).
void Bursts(Signal& s, const std::vector<double>& at, double length, double alpha, uint32_t seed,
            double gain) {
    for (size_t i = 0; i < at.size(); ++i) {
        auto noise = std::make_shared<Noise>(seed + static_cast<uint32_t>(i), alpha);
        s.Add(at[i], at[i] + length, 0.002, length * 0.8, [noise, gain, length](double t) {
            return gain * std::exp(-5 * t / length) * (*noise)(t);
        });
    }
}

std::vector<double> Times(double from, double to, double step, double jitter, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> shift(-jitter, jitter);
    std::vector<double> at;
    for (double t = from; t < to; t += step) {
        at.push_back(std::max(0.0, t + shift(random)));
    }
    return at;
}

Signal Greeting() {
    // A rising three-note call and a held answer: the tune of "please leave a message".
    Signal s(3.2);
    const double notes[][3] = {{0.0, 0.5, 392}, {0.5, 1.0, 494}, {1.0, 1.6, 587}, {1.8, 3.1, 523}};
    for (const auto& n : notes) {
        const double hz = n[2];
        s.Add(n[0], n[1], 0.03, 0.12,
              [hz](double t) { return Rich(hz * (1 + 0.004 * Sine(5.5, t)), t, 6, 1.3); });
    }
    return s;
}

Signal Air() {
    Signal s(4.0);
    auto wind = std::make_shared<Noise>(11, 0.05);
    s.Add(0, 4, 0.5, 0.5, [wind](double t) { return (0.6 + 0.4 * Sine(0.35, t)) * (*wind)(t); });
    s.Add(0, 4, 0.5, 0.5, [](double t) { return 0.15 * Sine(180 + 40 * Sine(0.2, t), t); });
    return s;
}

Signal Car() {
    Signal s(4.0);
    s.Add(0, 4, 0.3, 0.3, [](double t) { return Rich(55 + 6 * Sine(0.5, t), t, 20, 0.9); });
    s.Add(0, 4, 0.3, 0.3, NoiseVoice(21, 0.1, 0.6));
    return s;
}

Signal Concert() {
    Signal s(4.0);
    const double chords[][4] = {
        {262, 330, 392, 0}, {220, 262, 330, 1}, {175, 220, 262, 2}, {196, 247, 294, 3}};
    for (const auto& c : chords) {
        for (int i = 0; i < 3; ++i) {
            const double hz = c[i];
            s.Add(c[3], c[3] + 1.0, 0.05, 0.3, [hz](double t) { return Rich(hz, t, 8, 1.6); });
        }
    }
    return s;
}

Signal Meeting() {
    Signal s(4.0);
    for (int voice = 0; voice < 4; ++voice) {
        const double base = 110 + 35 * voice;
        for (double at : Times(voice * 0.3, 4.0, 0.9, 0.2, 31 + voice)) {
            s.Add(at, std::min(4.0, at + 0.5), 0.05, 0.1, [base](double t) {
                return 0.4 * Rich(base * (1 + 0.08 * Sine(3, t)), t, 10, 1.1);
            });
        }
    }
    s.Add(0, 4, 0.2, 0.2, NoiseVoice(37, 0.2, 0.1));
    return s;
}

Signal Movie() {
    Signal s(4.0);
    s.Add(0, 4, 0.8, 0.5, [](double t) { return Rich(40 + 10 * t, t, 12, 1.0); });
    s.Add(2, 4, 0.5, 0.5, [](double t) { return 0.5 * Sine(300 + 400 * t, t); });
    return s;
}

Signal Mrt() {
    Signal s(4.0);
    s.Add(0, 4, 0.3, 0.3, [](double t) { return 0.5 * Rich(98, t, 12, 1.2); });
    Bursts(s, Times(0.1, 4.0, 0.45, 0.0, 41), 0.06, 0.6, 41, 1.2);
    Bursts(s, Times(0.25, 4.0, 0.45, 0.0, 43), 0.06, 0.5, 43, 0.9);
    return s;
}

Signal Office() {
    Signal s(4.0);
    s.Add(0, 4, 0.2, 0.2, [](double t) { return 0.2 * Sine(120, t); });
    Bursts(s, Times(0.05, 4.0, 0.13, 0.05, 51), 0.015, 0.9, 51, 0.8);
    return s;
}

Signal School() {
    Signal s(4.0);
    s.Add(0, 1.8, 0.01, 0.3,
          [](double t) { return (0.5 + 0.5 * Sine(18, t)) * Rich(880, t, 4, 1.0); });
    s.Add(1.5, 4, 0.3, 0.3, NoiseVoice(61, 0.3, 0.5));
    for (double at : Times(1.6, 4.0, 0.3, 0.1, 62)) {
        s.Add(at, std::min(4.0, at + 0.2), 0.02, 0.05,
              [](double t) { return 0.3 * Rich(260 * (1 + 0.3 * t), t, 6, 1.2); });
    }
    return s;
}

Signal Station() {
    Signal s(4.0);
    s.Add(0.0, 0.8, 0.01, 0.5, [](double t) { return Rich(659, t, 3, 1.5) * std::exp(-2 * t); });
    s.Add(0.8, 1.8, 0.01, 0.8, [](double t) { return Rich(523, t, 3, 1.5) * std::exp(-2 * t); });
    s.Add(0, 4, 0.3, 0.3, NoiseVoice(71, 0.08, 0.35));
    Bursts(s, Times(2.0, 4.0, 0.5, 0.1, 72), 0.08, 0.4, 72, 0.5);
    return s;
}

Signal Street() {
    Signal s(4.0);
    s.Add(0, 4, 0.4, 0.4, NoiseVoice(81, 0.12, 0.7));
    s.Add(1.2, 1.9, 0.02, 0.05,
          [](double t) { return 0.7 * Rich(415, t, 8, 0.8) + 0.5 * Rich(330, t, 8, 0.8); });
    s.Add(0, 4, 0.5, 0.5, [](double t) { return 0.3 * Rich(70 + 20 * Sine(0.3, t), t, 10, 1.0); });
    return s;
}

Signal Applaud() {
    Signal s(3.0);
    for (int hands = 0; hands < 6; ++hands) {
        Bursts(s, Times(0.05 + 0.03 * hands, 2.8, 0.21 + 0.02 * hands, 0.04, 100 + hands), 0.03,
               0.7, 200 + 13 * hands, 0.8);
    }
    return s;
}

Signal Bark() {
    Signal s(2.5);
    for (double at : {0.1, 0.55, 1.3, 1.7}) {
        s.Add(at, at + 0.22, 0.01, 0.1, [](double t) { return Rich(520 - 900 * t, t, 12, 0.7); });
        s.Add(at, at + 0.22, 0.01, 0.1, NoiseVoice(static_cast<uint32_t>(at * 100), 0.5, 0.4));
    }
    return s;
}

Signal Campus() {
    Signal s(3.5);
    const double tune[] = {523, 659, 784, 659, 587, 698, 880, 784};
    for (int i = 0; i < 8; ++i) {
        const double hz = tune[i];
        s.Add(i * 0.4, i * 0.4 + 0.9, 0.005, 0.6,
              [hz](double t) { return std::exp(-3 * t) * Rich(hz, t, 5, 1.8); });
    }
    return s;
}

Signal Cow() {
    Signal s(2.6);
    s.Add(0.1, 2.4, 0.25, 0.5,
          [](double t) { return Rich(150 - 18 * t + 3 * Sine(4, t), t, 25, 0.8); });
    return s;
}

Signal Fart() {
    Signal s(2.0);
    s.Add(0.1, 1.6, 0.02, 0.3,
          [](double t) { return Rich(90 + 25 * Sine(7, t) - 20 * t, t, 30, 0.6); });
    s.Add(0.1, 1.6, 0.02, 0.3, NoiseVoice(301, 0.3, 0.5));
    return s;
}

Signal Hiss() {
    Signal s(2.5);
    auto noise = std::make_shared<Noise>(401, 0.95);
    auto low = std::make_shared<Noise>(401, 0.2);
    s.Add(0.05, 2.4, 0.15, 0.8, [noise, low](double t) { return (*noise)(t) - (*low)(t); });
    return s;
}

Signal Kiss() {
    Signal s(2.0);
    for (double at : {0.2, 1.0}) {
        Bursts(s, {at}, 0.02, 0.9, 501 + static_cast<uint32_t>(at * 10), 1.0);
        s.Add(at + 0.02, at + 0.22, 0.01, 0.1,
              [](double t) { return 0.6 * Sine(1800 - 3000 * t, t); });
    }
    return s;
}

Signal Telephone() {
    Signal s(4.0);
    for (double at : {0.0, 2.5}) {
        s.Add(at, at + 1.2, 0.01, 0.02, [](double t) {
            return (0.5 + 0.5 * std::copysign(1.0, Sine(20, t))) * (Sine(440, t) + Sine(480, t));
        });
    }
    return s;
}

Signal Whistle() {
    Signal s(2.5);
    s.Add(0.1, 0.9, 0.05, 0.1,
          [](double t) { return Sine(1500 + 1200 * t, t) + 0.1 * Sine(3000, t); });
    s.Add(1.1, 2.3, 0.05, 0.2, [](double t) { return Sine(2400 - 700 * t + 30 * Sine(6, t), t); });
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tovarin-sound-maker OUTPUT_FOLDER\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    const std::pair<const char*, Signal (*)()> sounds[] = {
        {"greeting.amr", Greeting},
        {"Air.amr", Air},
        {"Car.amr", Car},
        {"Concert.amr", Concert},
        {"Meeting.amr", Meeting},
        {"Movie.amr", Movie},
        {"MRT.amr", Mrt},
        {"Office.amr", Office},
        {"School.amr", School},
        {"Station.amr", Station},
        {"Street.amr", Street},
        {"applaud.amr", Applaud},
        {"bark.amr", Bark},
        {"campus.amr", Campus},
        {"cow.amr", Cow},
        {"fart.amr", Fart},
        {"hiss.amr", Hiss},
        {"kiss.amr", Kiss},
        {"telephone.amr", Telephone},
        {"whistle.amr", Whistle},
    };
    for (const auto& [name, make] : sounds) {
        const std::vector<int16_t> pcm = make().Pcm();
        const std::vector<uint8_t> amr = tovarin::media::EncodeAmrFile(pcm);
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(amr.data()),
                  static_cast<std::streamsize>(amr.size()));
        if (!out) {
            std::fprintf(stderr, "tovarin-sound-maker: cannot write %s\n", (folder / name).c_str());
            return 1;
        }
    }
    return 0;
}
