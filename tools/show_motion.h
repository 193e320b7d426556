// show_motion.h: how much a rendered show moves and how bright it is, second by second, as
// tools/measure-show reports it.
//
//   std::vector<uint8_t> y = motion::luma(rgb, width * height);   // Rec. 709 weights
//   double d = motion::meanAbsDiff(previousY, y);                  // 0..255
//   std::vector<motion::Second> s = motion::perSecond(frames, 60);
//   motion::stillStretches(s, 1.5, 3, exemptFrom);                 // [from, to) in seconds
//   motion::whiteRuns(frames, 60, 250, 0.5);                       // flashes held too long
//   motion::shareBelow(y, 16);                                     // near-black part, 0..1
//   motion::quarterMeans(y, width, height);                        // the split screen's quarters
//
// A frame's motion is the mean absolute difference of its luma from the frame before (the
// first frame has none and counts as 0); a second's is the mean over its frames.
// Header only, so the tests use it directly. Not here: reading PNGs (show_motion.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace motion {

struct Frame {
    double motion = 0;  // mean |luma - previous luma|, 0..255
    double luma = 0;    // mean luma, 0..255
    double dark = 0;    // share of the pixels that are near black, 0..1
    double quarters[4] = {0, 0, 0, 0};  // mean luma: upper left, upper right, lower left, lower right
};

struct Second {
    double motion = 0;
    double luma = 0;
};

struct Stretch {
    double from = 0, to = 0;  // seconds, [from, to)
    double seconds() const { return to - from; }
};

// Luma of packed 8-bit RGB pixels, with Rec. 709 weights in integers (sum 256).
inline std::vector<uint8_t> luma(const uint8_t* rgb, size_t pixels) {
    std::vector<uint8_t> y(pixels);
    for (size_t i = 0; i < pixels; ++i)
        y[i] = uint8_t((54 * rgb[3 * i] + 183 * rgb[3 * i + 1] + 19 * rgb[3 * i + 2] + 128) >> 8);
    return y;
}

inline double mean(const std::vector<uint8_t>& y) {
    if (y.empty()) return 0;
    uint64_t sum = 0;
    for (uint8_t v : y) sum += v;
    return double(sum) / double(y.size());
}

// Two pictures of the same size; 0 when they differ in size or are empty.
inline double meanAbsDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 0;
    uint64_t sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += uint64_t(std::abs(int(a[i]) - int(b[i])));
    return double(sum) / double(a.size());
}

// The part of the pixels whose luma is under `level`, 0..1 (0 for an empty picture).
inline double shareBelow(const std::vector<uint8_t>& y, int level) {
    if (y.empty()) return 0;
    size_t below = 0;
    for (uint8_t v : y) below += v < level;
    return double(below) / double(y.size());
}

// Mean luma of the four quarters of a picture stored top row first (as PNG holds it): upper
// left, upper right, lower left, lower right. An odd middle row or column goes to the lower
// or right quarters.
struct Quarters {
    double mean[4] = {0, 0, 0, 0};
};
inline Quarters quarterMeans(const std::vector<uint8_t>& y, int width, int height) {
    Quarters q;
    if (width < 2 || height < 2 || y.size() != size_t(width) * size_t(height)) return q;
    uint64_t sum[4] = {0, 0, 0, 0};
    uint64_t count[4] = {0, 0, 0, 0};
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            const int k = (row < height / 2 ? 0 : 2) + (column < width / 2 ? 0 : 1);
            sum[k] += y[size_t(row) * size_t(width) + size_t(column)];
            ++count[k];
        }
    for (int k = 0; k < 4; ++k) q.mean[k] = double(sum[k]) / double(count[k]);
    return q;
}

// Frame n belongs to second floor(n / fps); a last, partial second is kept.
inline std::vector<Second> perSecond(const std::vector<Frame>& frames, int fps) {
    std::vector<Second> out((frames.size() + fps - 1) / fps);
    std::vector<int> count(out.size(), 0);
    for (size_t n = 0; n < frames.size(); ++n) {
        out[n / fps].motion += frames[n].motion;
        out[n / fps].luma += frames[n].luma;
        ++count[n / fps];
    }
    for (size_t s = 0; s < out.size(); ++s) {
        out[s].motion /= count[s];
        out[s].luma /= count[s];
    }
    return out;
}

// Runs of whole seconds whose motion is under `threshold`, at least `minSeconds` long,
// ignoring every second from `exemptFrom` on (the closing fade).
inline std::vector<Stretch> stillStretches(const std::vector<Second>& seconds, double threshold,
                                           double minSeconds, double exemptFrom) {
    std::vector<Stretch> out;
    size_t s = 0;
    while (s < seconds.size() && double(s) < exemptFrom) {
        if (seconds[s].motion >= threshold) {
            ++s;
            continue;
        }
        size_t e = s;
        while (e < seconds.size() && double(e) < exemptFrom && seconds[e].motion < threshold) ++e;
        if (double(e - s) >= minSeconds) out.push_back({double(s), double(e)});
        s = e;
    }
    return out;
}

// Runs of frames whose mean luma is at least `level` that last longer than `maxSeconds`.
inline std::vector<Stretch> whiteRuns(const std::vector<Frame>& frames, int fps, double level,
                                      double maxSeconds) {
    std::vector<Stretch> out;
    size_t n = 0;
    while (n < frames.size()) {
        if (frames[n].luma < level) {
            ++n;
            continue;
        }
        size_t e = n;
        while (e < frames.size() && frames[e].luma >= level) ++e;
        if (double(e - n) / fps > maxSeconds) out.push_back({double(n) / fps, double(e) / fps});
        n = e;
    }
    return out;
}

}  // namespace motion
