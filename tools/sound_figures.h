// sound_figures.h: what tools/measure-soundtrack reports about a stretch of stereo sound
// beyond loudness (which FFmpeg's ebur128 measures): how bright it is, how much of it sits
// in the low middle, how wide it is, where its hits fall against the bar lines, and how well
// a beat tracker's beats agree with the tempo's grid (and for how long it leaves it).
//
//   sound::Stereo s = ...;                        // samples at s.rate, one vector a side
//   sound::Spectrum sp = sound::spectrum(s, 0, s.frames());
//   sp.centroidHz(); sp.share(120, 250);          // brightness, low-mid share (0..1)
//   sp.share(0, 120);                             // the low end's share
//   sound::correlation(s, from, to);              // -1..1, 1 = mono
//   sound::onsetOffsetMs(s, 16.0);                // where the hit near 16 s begins, ms
//   sound::BeatAgreement a = sound::agreement(beats, 0.5, from, to, 0.030);
//
// Times are seconds from the start of the sound. Header only, so the tests use it directly.
// Not here: loudness (FFmpeg), decoding (FFmpeg writes raw floats the tool reads).
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>
#include <vector>

namespace sound {

constexpr size_t kFftSize = 4096;           // samples a spectrum frame (93 ms at 44.1 kHz)
constexpr double kOnsetWindowMs = 1.0;      // the level is followed in steps of this
constexpr double kOnsetSearchBeforeMs = 20; // a hit is looked for this long before its time
constexpr double kOnsetSearchAfterMs = 40;  // and this long after
constexpr double kOnsetLookBackMs = 10;     // a hit rises above the loudest of this before it
constexpr double kOnsetMinRiseDb = 6;       // a rise smaller than this is no hit
constexpr double kOffPhaseFrom = 0.3;       // a beat this far (fraction of a beat) from the grid
constexpr double kOffPhaseTo = 0.7;         //   and no farther counts as on the off-beat

struct Stereo {
    double rate = 44100;
    std::vector<float> left, right;
    size_t frames() const { return left.size(); }
    size_t at(double seconds) const {
        const double i = std::floor(seconds * rate + 0.5);
        return i <= 0 ? 0 : std::min(frames(), size_t(i));
    }
};

// Power per frequency bin, summed over the frames of a stretch (both sides mixed).
struct Spectrum {
    double binHz = 0;
    std::vector<double> power;

    double total() const {
        double sum = 0;
        for (double p : power) sum += p;
        return sum;
    }
    double centroidHz() const {
        double weighted = 0, sum = 0;
        for (size_t k = 0; k < power.size(); ++k) {
            weighted += power[k] * k * binHz;
            sum += power[k];
        }
        return sum > 0 ? weighted / sum : 0;
    }
    // The part of the power in [loHz, hiHz), 0..1.
    double share(double loHz, double hiHz) const {
        double in = 0;
        for (size_t k = 0; k < power.size(); ++k)
            if (k * binHz >= loHz && k * binHz < hiHz) in += power[k];
        const double all = total();
        return all > 0 ? in / all : 0;
    }
};

// In-place radix-2 FFT; the size must be a power of two.
inline void fft(std::vector<std::complex<double>>& x) {
    const size_t n = x.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(x[i], x[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> step = std::polar(1.0, -2 * M_PI / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> w = 1;
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<double> a = x[i + k], b = x[i + k + len / 2] * w;
                x[i + k] = a + b;
                x[i + k + len / 2] = a - b;
                w *= step;
            }
        }
    }
}

// Hann-windowed frames of kFftSize, half overlapping, over samples [from, to).
inline Spectrum spectrum(const Stereo& s, size_t from, size_t to) {
    Spectrum out;
    out.binHz = s.rate / double(kFftSize);
    out.power.assign(kFftSize / 2, 0.0);
    std::vector<std::complex<double>> frame(kFftSize);
    for (size_t start = from; start + kFftSize <= to; start += kFftSize / 2) {
        for (size_t i = 0; i < kFftSize; ++i) {
            const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / double(kFftSize));
            frame[i] = hann * 0.5 * (double(s.left[start + i]) + double(s.right[start + i]));
        }
        fft(frame);
        for (size_t k = 0; k < kFftSize / 2; ++k) out.power[k] += std::norm(frame[k]);
    }
    return out;
}

// Pearson correlation of the two sides over samples [from, to): 1 for mono, 0 for
// unrelated sides or one silent side, -1 for opposite ones; 1 for silence (nothing is wide).
inline double correlation(const Stereo& s, size_t from, size_t to) {
    double lr = 0, ll = 0, rr = 0;
    for (size_t i = from; i < to; ++i) {
        lr += double(s.left[i]) * s.right[i];
        ll += double(s.left[i]) * s.left[i];
        rr += double(s.right[i]) * s.right[i];
    }
    if (ll == 0 && rr == 0) return 1.0;
    return ll > 0 && rr > 0 ? lr / std::sqrt(ll * rr) : 0.0;
}

// Where a hit expected at `seconds` begins, in ms from that time (negative: early): the 1 ms
// step of the level (both sides) that rises most above the loudest step of the
// kOnsetLookBackMs before it, within the search window. Comparing with the loudest recent
// step keeps a steady low note, whose level swings within its period, from counting as a
// hit. NAN when nothing there rises by kOnsetMinRiseDb.
inline double onsetOffsetMs(const Stereo& s, double seconds) {
    const size_t step = std::max<size_t>(1, size_t(s.rate * kOnsetWindowMs / 1000));
    const size_t lookBack = size_t(kOnsetLookBackMs / kOnsetWindowMs);
    const double from = seconds - kOnsetSearchBeforeMs / 1000;
    const double to = seconds + kOnsetSearchAfterMs / 1000;
    if (s.at(from) < lookBack * step || s.at(to) + step > s.frames()) return NAN;
    std::vector<double> levels;  // dB of each step from lookBack steps before `from`
    for (size_t at = s.at(from) - lookBack * step; at + step <= s.at(to); at += step) {
        double sum = 1e-12;
        for (size_t i = at; i < at + step; ++i)
            sum += double(s.left[i]) * s.left[i] + double(s.right[i]) * s.right[i];
        levels.push_back(10 * std::log10(sum / double(step)));
    }
    double bestRise = 0, bestAt = NAN;
    for (size_t k = lookBack; k < levels.size(); ++k) {
        const double before = *std::max_element(levels.begin() + long(k - lookBack), levels.begin() + long(k));
        if (levels[k] - before > bestRise) {
            bestRise = levels[k] - before;
            bestAt = double(s.at(from) + (k - lookBack) * step) / s.rate;
        }
    }
    return bestRise >= kOnsetMinRiseDb ? (bestAt - seconds) * 1000 : NAN;
}

struct BeatAgreement {
    int gridBeats = 0;        // grid beats in the stretch
    int found = 0;            // those with a tracked beat within the tolerance
    double worstOffPhaseBeats = 0;  // the longest run of tracked beats on the off-beat, in beats
    double longestMissSeconds = 0;  // the longest run of grid beats in a row with none found, s
    double fraction() const { return gridBeats ? double(found) / gridBeats : 0; }
};

// Compares a beat tracker's beats (seconds, ascending) with a grid of one beat every
// `beatSeconds` from 0, over [from, to).
inline BeatAgreement agreement(const std::vector<double>& beats, double beatSeconds, double from,
                               double to, double toleranceSeconds) {
    BeatAgreement a;
    int missed = 0;  // grid beats in a row without a tracked one
    for (long n = long(std::ceil(from / beatSeconds - 1e-9)); n * beatSeconds < to - 1e-9; ++n) {
        const double t = n * beatSeconds;
        ++a.gridBeats;
        const auto it = std::lower_bound(beats.begin(), beats.end(), t - toleranceSeconds);
        const bool found = it != beats.end() && *it <= t + toleranceSeconds;
        a.found += found;
        missed = found ? 0 : missed + 1;
        a.longestMissSeconds = std::max(a.longestMissSeconds, missed * beatSeconds);
    }
    double runStart = NAN, runEnd = NAN;
    for (double b : beats) {
        if (b < from || b >= to) continue;
        const double phase = b / beatSeconds - std::floor(b / beatSeconds);
        if (phase >= kOffPhaseFrom && phase <= kOffPhaseTo) {
            if (std::isnan(runStart)) runStart = b;
            runEnd = b;
            a.worstOffPhaseBeats = std::max(a.worstOffPhaseBeats, (runEnd - runStart) / beatSeconds + 1);
        } else {
            runStart = NAN;
        }
    }
    return a;
}

}  // namespace sound
