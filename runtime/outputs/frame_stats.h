// frame_stats.h: frame times grouped by the set of running effects, for --benchmark.
//
//   FrameStats stats;
//   stats.add("CLEAR+CKREUZ", 4.2);   // milliseconds
//   stats.printTable(stdout, startupMs, totalSeconds);
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace glimmerq {

struct FrameSummary {
    std::string combination;
    size_t frames = 0;
    double meanMs = 0, medianMs = 0, p99Ms = 0, maxMs = 0;
};

// Median and p99 use the nearest-rank method on the sorted times.
FrameSummary summarize(const std::string& combination, std::vector<double> timesMs);

class FrameStats {
public:
    void add(const std::string& combination, double ms);
    // Summaries in order of first appearance.
    std::vector<FrameSummary> summaries() const;
    size_t frames() const;

    void printTable(FILE* out, double startupMs, double playSeconds) const;
    bool writeJson(const std::string& path, double startupMs, double playSeconds, std::string* error) const;

private:
    std::vector<std::string> order_;
    std::vector<std::vector<double>> times_;
};

}  // namespace glimmerq
