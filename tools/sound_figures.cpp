// sound_figures BEATS_FILE SECONDS... < RAW
//
// Reads interleaved stereo 32-bit float samples at 44.1 kHz from stdin (what
// `ffmpeg -i TRACK -f f32le -ac 2 -ar 44100 -` writes) and a beat tracker's beats (one time
// in seconds a line, what `aubio beat` prints), and prints, for the whole sound and for each
// stretch between consecutive SECONDS, its spectral centroid, the share of its power in
// 120-250 Hz and below 120 Hz, the left/right correlation, the median offset of the hits at
// its bar lines, and how well the tracked beats agree with the 120 BPM grid. tools/measure-soundtrack runs
// it; see sound_figures.h for how each figure is taken.
#include "tools/sound_figures.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 44100;
constexpr double kBeatSeconds = 0.5;        // 120 BPM
constexpr int kBeatsPerBar = 4;
constexpr double kBeatToleranceSeconds = 0.030;
constexpr double kLowMidFromHz = 120, kLowMidToHz = 250;
constexpr double kLowEndToHz = 120;  // the kick's and the bass's fundamentals

struct Stretch {
    double from, to;
};

double median(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

void report(const char* name, const sound::Stereo& s, const std::vector<double>& beats, Stretch t) {
    const size_t from = s.at(t.from), to = s.at(t.to);
    const sound::Spectrum sp = sound::spectrum(s, from, to);
    std::vector<double> offsets;
    const double bar = kBeatSeconds * kBeatsPerBar;
    for (double b = std::ceil(t.from / bar - 1e-9) * bar; b < t.to - 1e-9; b += bar) {
        const double ms = sound::onsetOffsetMs(s, b);
        if (!std::isnan(ms)) offsets.push_back(ms);
    }
    const sound::BeatAgreement a = sound::agreement(beats, kBeatSeconds, t.from, t.to, kBeatToleranceSeconds);
    const double onset = median(offsets);
    // One line of fields for the script: name from to centroid low-mid% correlation
    // bar-hit-offset-ms (or -) hits bars beats% off-phase-bars low-end% longest-miss-s.
    std::printf("%s %.2f %.2f %.0f %.1f %.2f ", name, t.from, t.to, sp.centroidHz(),
                100 * sp.share(kLowMidFromHz, kLowMidToHz), sound::correlation(s, from, to));
    if (std::isnan(onset)) std::printf("- ");
    else std::printf("%+.1f ", onset);
    std::printf("%zu %ld %.1f %.1f %.1f %.1f\n", offsets.size(), std::lround((t.to - t.from) / bar),
                100 * a.fraction(), a.worstOffPhaseBeats / kBeatsPerBar, 100 * sp.share(0, kLowEndToHz),
                a.longestMissSeconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sound_figures BEATS_FILE [SECONDS...] < RAW_F32_STEREO\n");
        return 2;
    }
    std::vector<double> beats;
    if (FILE* f = std::fopen(argv[1], "r")) {
        double t;
        while (std::fscanf(f, "%lf", &t) == 1) beats.push_back(t);
        std::fclose(f);
    } else {
        std::fprintf(stderr, "glimmerq: %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    std::sort(beats.begin(), beats.end());
    std::vector<double> cuts;
    for (int i = 2; i < argc; ++i) {
        char* end = nullptr;
        cuts.push_back(std::strtod(argv[i], &end));
        if (end == argv[i] || *end || (cuts.size() > 1 && cuts.back() <= cuts[cuts.size() - 2])) {
            std::fprintf(stderr, "glimmerq: sound_figures: '%s' is not a time after the one before\n", argv[i]);
            return 2;
        }
    }

    sound::Stereo s;
    s.rate = kRate;
    float pair[2];
    while (std::fread(pair, sizeof pair, 1, stdin) == 1) {
        s.left.push_back(pair[0]);
        s.right.push_back(pair[1]);
    }
    if (s.frames() < sound::kFftSize) {
        std::fprintf(stderr, "glimmerq: sound_figures: under %zu samples on stdin\n", sound::kFftSize);
        return 1;
    }

    report("all", s, beats, {0, double(s.frames()) / s.rate});
    for (size_t k = 0; k + 1 < cuts.size(); ++k) {
        const std::string name = std::to_string(k + 1);
        report(name.c_str(), s, beats, {cuts[k], cuts[k + 1]});
    }
    return 0;
}
