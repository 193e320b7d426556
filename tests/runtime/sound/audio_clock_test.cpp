// The audio clock against simulated devices: steady, with latency, late, bursty, stalled.
// Each simulation queries the clock every millisecond, as a fast frame loop would.
#include "runtime/sound/audio_clock.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <vector>

using glimmerq::AudioClock;

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 1024;                       // frames, 21.33 ms
constexpr double kPeriodMicros = kPeriod * 1e6 / kRate;
constexpr int64_t kQueryStepMicros = 1000;

struct Report {
    int64_t micros;
    int64_t consumed;
    int64_t latency;
};

struct Trace {
    std::vector<int64_t> queryMicros;
    std::vector<int64_t> positions;
    // Largest difference between consecutive positions, and the smallest.
    int64_t largestStep() const {
        int64_t most = 0;
        for (size_t i = 1; i < positions.size(); ++i) most = std::max(most, positions[i] - positions[i - 1]);
        return most;
    }
    int64_t smallestStep() const {
        int64_t least = INT64_MAX;
        for (size_t i = 1; i < positions.size(); ++i) least = std::min(least, positions[i] - positions[i - 1]);
        return least;
    }
    // Largest |position - truth(query time)| from `fromMicros` on.
    int64_t largestError(const std::function<double(int64_t)>& truthMicros, int64_t fromMicros = 0) const {
        int64_t most = 0;
        for (size_t i = 0; i < positions.size(); ++i)
            if (queryMicros[i] >= fromMicros)
                most = std::max(most, int64_t(std::llround(std::fabs(double(positions[i]) - truthMicros(queryMicros[i])))));
        return most;
    }
};

// Applies every report due by each query time, then queries, from 0 to untilMicros.
Trace simulate(std::vector<Report> reports, int64_t untilMicros) {
    std::sort(reports.begin(), reports.end(), [](const Report& a, const Report& b) { return a.micros < b.micros; });
    AudioClock clock(kRate, kPeriod);
    clock.restart(0);
    Trace run;
    size_t next = 0;
    for (int64_t t = 0; t <= untilMicros; t += kQueryStepMicros) {
        while (next < reports.size() && reports[next].micros <= t) {
            clock.report(reports[next].consumed, reports[next].latency, reports[next].micros);
            ++next;
        }
        run.queryMicros.push_back(t);
        run.positions.push_back(clock.positionMicros(t));
    }
    return run;
}

int64_t framesToMicros(int64_t frames) { return frames * 1000000 / kRate; }
int64_t periodStart(int64_t k) { return int64_t(std::llround(double(k) * kPeriodMicros)); }
double realTime(int64_t micros) { return double(micros); }

}  // namespace

TEST(AudioClock, FollowsASteadyDeviceToTheMicrosecond) {
    // The device takes period k at the moment period k-1 finishes playing; it holds one period.
    std::vector<Report> reports;
    for (int64_t k = 0; k < 200; ++k) reports.push_back({periodStart(k), (k + 1) * kPeriod, kPeriod});
    const Trace run = simulate(reports, 4000000);
    EXPECT_LE(run.largestError(realTime, 0), 25) << "microseconds off the sound";
    EXPECT_LE(run.largestStep(), kQueryStepMicros + 25);
    EXPECT_GE(run.smallestStep(), kQueryStepMicros - 25);
}

TEST(AudioClock, SubtractsTheFramesStillInTheDevice) {
    // A device that buffers four periods: what it has taken is 85 ms ahead of what is heard.
    std::vector<Report> reports;
    for (int64_t k = 0; k < 200; ++k) reports.push_back({periodStart(k), (k + 4) * kPeriod, 4 * kPeriod});
    const Trace run = simulate(reports, 4000000);
    EXPECT_LE(run.largestError(realTime, 0), 25) << "microseconds off the sound";
}

TEST(AudioClock, StaysSmoothWhenCallbacksComeLateByUpToFiveMilliseconds) {
    // SDL-like: the callback runs up to 5 ms after the period it refills began; the device
    // claims one period of latency, so each report lags the sound by that delay.
    std::mt19937 random(11);
    std::uniform_int_distribution<int64_t> delay(0, 5000);
    std::vector<Report> reports;
    for (int64_t k = 0; k < 200; ++k) reports.push_back({periodStart(k) + delay(random), (k + 1) * kPeriod, kPeriod});
    const Trace run = simulate(reports, 4000000);
    EXPECT_GE(run.smallestStep(), 0) << "the position went backward";
    EXPECT_LE(run.largestStep(), int64_t(kQueryStepMicros * AudioClock::kCatchUpSpeed) + 1);
    EXPECT_LE(run.largestError(realTime, 0), 6000) << "microseconds off the sound";
}

TEST(AudioClock, StaysSmoothWhenReportsComeInBursts) {
    // A device that refills four periods at once every four periods (and says so).
    std::vector<Report> reports;
    for (int64_t k = 0; k < 200; k += 4) {
        for (int64_t i = 0; i < 4; ++i)
            reports.push_back({periodStart(k) + i * 10, (k + 1 + i) * kPeriod, (1 + i) * kPeriod});
    }
    const Trace run = simulate(reports, 4000000);
    EXPECT_GE(run.smallestStep(), 0) << "the position went backward";
    EXPECT_LE(run.largestStep(), int64_t(kQueryStepMicros * AudioClock::kCatchUpSpeed) + 1);
    EXPECT_LE(run.largestError(realTime, 0), 100) << "microseconds off the sound";
}

TEST(AudioClock, StopsWithinWhatTheDeviceHeldWhenItStopsReporting) {
    // Plays 1 s, freezes for 1 s (no reports, no sound), then plays on from where it was.
    std::vector<Report> reports;
    const int64_t periodsPerSecond = kRate / kPeriod + 1;
    const int64_t pausedMicros = 1000000;
    for (int64_t k = 0; k < 3 * periodsPerSecond; ++k) {
        const int64_t at = periodStart(k);
        if (at < 1000000) reports.push_back({at, (k + 1) * kPeriod, kPeriod});
        else if (at >= 1000000 + pausedMicros) reports.push_back({at, (k - 47 + 1) * kPeriod, kPeriod});
    }
    const Trace run = simulate(reports, 3000000);
    const Report& lastBeforeStall = *std::find_if(reports.rbegin(), reports.rend(), [](const Report& r) {
        return r.micros < 1000000;
    });
    const int64_t heardAtStall = framesToMicros(lastBeforeStall.consumed - lastBeforeStall.latency);
    const int64_t atMiddleOfStall = run.positions[1500];
    EXPECT_LE(atMiddleOfStall, heardAtStall + framesToMicros(kPeriod) + 1)
        << "ran on while the device played nothing";
    EXPECT_GE(atMiddleOfStall, heardAtStall);
    EXPECT_GE(run.smallestStep(), 0) << "the position went backward";
    EXPECT_LE(run.largestStep(), int64_t(kQueryStepMicros * AudioClock::kCatchUpSpeed) + 1);
}

TEST(AudioClock, HoldsRatherThanGoingBackWhenAReportIsBehind) {
    AudioClock clock(kRate, kPeriod);
    clock.restart(0);
    clock.report(kRate, 0, 1000000);                 // 1 s heard at 1 s
    EXPECT_EQ(clock.positionMicros(1010000), 1010000);
    clock.report(kRate, kRate / 50, 1010000);        // says only 0.98 s was heard
    EXPECT_EQ(clock.positionMicros(1015000), 1010000);
    EXPECT_EQ(clock.positionMicros(1030000), 1010000);
    clock.report(kRate + kRate / 20, kRate / 50, 1040000);  // 1.03 s heard at 1.04 s
    EXPECT_EQ(clock.positionMicros(1040000), 1010000 + int64_t(10000 * AudioClock::kCatchUpSpeed));
    EXPECT_EQ(clock.positionMicros(1060000), 1050000);
}

TEST(AudioClock, ClosesAGapAtOnceWhenItIsLargerThanTheResyncLimit) {
    AudioClock clock(kRate, kPeriod);
    clock.restart(0);
    clock.report(kPeriod, kPeriod, 0);
    EXPECT_EQ(clock.positionMicros(10000), 10000);
    clock.report(kRate / 2, 0, 20000);  // the device skipped ahead to 0.5 s
    EXPECT_EQ(clock.positionMicros(21000), 500000 + 1000);
    clock.report(kRate / 2 + 4800, 0, 30000);  // 50 ms ahead of the position: caught up gradually
    const int64_t before = clock.positionMicros(30000);
    const int64_t after = clock.positionMicros(31000);
    EXPECT_EQ(after - before, int64_t(1000 * AudioClock::kCatchUpSpeed));
}

TEST(AudioClock, RestartBeginsAtZeroWithoutWaitingForAReport) {
    AudioClock clock(kRate, kPeriod);
    clock.restart(5000000);
    clock.report(kRate * 10, 0, 5000000);
    EXPECT_GT(clock.positionMicros(5001000), 1000000);
    clock.restart(6000000);
    EXPECT_EQ(clock.positionMicros(6000000), 0);
    EXPECT_EQ(clock.positionMicros(6010000), 10000);
    // Without reports it runs one period and no further.
    EXPECT_EQ(clock.positionMicros(7000000), framesToMicros(kPeriod));
}
