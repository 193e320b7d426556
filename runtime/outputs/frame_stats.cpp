#include "runtime/outputs/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numeric>

namespace glimmerq {

namespace {

double rank(const std::vector<double>& sorted, double fraction) {
    const size_t index = size_t(std::ceil(fraction * double(sorted.size())));
    return sorted[std::clamp<size_t>(index, 1, sorted.size()) - 1];
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

FrameSummary summarize(const std::string& combination, std::vector<double> timesMs) {
    FrameSummary s;
    s.combination = combination;
    s.frames = timesMs.size();
    if (timesMs.empty()) return s;
    std::sort(timesMs.begin(), timesMs.end());
    s.meanMs = std::accumulate(timesMs.begin(), timesMs.end(), 0.0) / double(timesMs.size());
    s.medianMs = rank(timesMs, 0.5);
    s.p99Ms = rank(timesMs, 0.99);
    s.maxMs = timesMs.back();
    return s;
}

void FrameStats::add(const std::string& combination, double ms) {
    auto it = std::find(order_.begin(), order_.end(), combination);
    if (it == order_.end()) {
        order_.push_back(combination);
        times_.emplace_back();
        it = order_.end() - 1;
    }
    times_[size_t(it - order_.begin())].push_back(ms);
}

std::vector<FrameSummary> FrameStats::summaries() const {
    std::vector<FrameSummary> result;
    for (size_t i = 0; i < order_.size(); ++i) result.push_back(summarize(order_[i], times_[i]));
    return result;
}

size_t FrameStats::frames() const {
    size_t n = 0;
    for (const auto& t : times_) n += t.size();
    return n;
}

void FrameStats::printTable(FILE* out, double startupMs, double playSeconds) const {
    const auto rows = summaries();
    size_t nameWidth = 7;
    for (const auto& r : rows) nameWidth = std::max(nameWidth, r.combination.size());
    std::fprintf(out, "%-*s %7s %9s %9s %9s %9s\n", int(nameWidth), "effects", "frames", "mean ms", "median ms",
                 "p99 ms", "max ms");
    for (const auto& r : rows)
        std::fprintf(out, "%-*s %7zu %9.2f %9.2f %9.2f %9.2f\n", int(nameWidth),
                     r.combination.empty() ? "(none)" : r.combination.c_str(), r.frames, r.meanMs, r.medianMs,
                     r.p99Ms, r.maxMs);
    std::fprintf(out, "start-up: %.0f ms\n", startupMs);
    std::fprintf(out, "overall: %zu frames in %.2f s, %.1f frames per second\n", frames(), playSeconds,
                 playSeconds > 0 ? double(frames()) / playSeconds : 0.0);
}

bool FrameStats::writeJson(const std::string& path, double startupMs, double playSeconds,
                           std::string* error) const {
    std::ofstream out(path);
    if (!out) {
        *error = path + ": cannot open for writing";
        return false;
    }
    out << "{\n  \"combinations\": [\n";
    const auto rows = summaries();
    for (size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        out << "    {\"effects\": " << jsonString(r.combination) << ", \"frames\": " << r.frames
            << ", \"mean_ms\": " << r.meanMs << ", \"median_ms\": " << r.medianMs << ", \"p99_ms\": " << r.p99Ms
            << ", \"max_ms\": " << r.maxMs << "}" << (i + 1 < rows.size() ? "," : "") << "\n";
    }
    out << "  ],\n  \"startup_ms\": " << startupMs << ",\n  \"frames\": " << frames()
        << ",\n  \"play_seconds\": " << playSeconds
        << ",\n  \"fps\": " << (playSeconds > 0 ? double(frames()) / playSeconds : 0.0) << "\n}\n";
    out.close();
    if (!out) {
        *error = path + ": write failed";
        return false;
    }
    return true;
}

}  // namespace glimmerq
