// The entry's calls and their order, seen through a host that records everything.
#include "demo/entry.h"
#include "runtime/host/host.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <typeinfo>
#include <vector>

using glimmerq::Host;
using glimmerq::TextureParams;

namespace {

// Effects that log their construction and destruction into one shared list.
std::vector<std::string>* gLifeLog = nullptr;

class RecordingHost : public Host {
public:
    RecordingHost() { previous_ = glimmerq::installHost(this); }
    ~RecordingHost() override { glimmerq::installHost(previous_); }

    std::vector<std::string> calls;
    std::vector<std::pair<CEffect*, std::string>> registered;
    std::vector<std::string> registeredTypes;  // dynamic type at registration ("" for null)
    std::array<unsigned char, sizeof(SStartupDat)> record{};
    std::string title;
    int appRunResult = 0;

    size_t createdBeforeFirstCall = 0;

    void setVariable(int id, bool v) override {
        if (calls.empty() && gLifeLog) createdBeforeFirstCall = gLifeLog->size();
        calls.push_back("var " + std::to_string(id) + " bool " + (v ? "true" : "false"));
    }
    void setVariable(int id, int v) override { calls.push_back("var " + std::to_string(id) + " int " + std::to_string(v)); }
    void setVariable(int id, const char* v) override { calls.push_back("var " + std::to_string(id) + " string \"" + v + "\""); }
    void registerEffect(CEffect* effect, const char* name) override {
        calls.push_back(std::string("register ") + name);
        registered.emplace_back(effect, name);
        registeredTypes.push_back(effect ? typeid(*effect).name() : "");
    }
    void loadingBarEnable(int enabled, float w, float h, float x, float y) override {
        calls.push_back("bar " + std::to_string(enabled) + " " + std::to_string(w) + " " + std::to_string(h) + " " +
                        std::to_string(x) + " " + std::to_string(y));
    }
    void loadingBarAppearance(bool background, bool blend, unsigned src, unsigned dst, const float* c) override {
        std::string call = std::string("appearance ") + (background ? "1" : "0") + (blend ? "1" : "0") + " " +
                           std::to_string(src) + " " + std::to_string(dst);
        for (int i = 0; i < 7; ++i) call += " " + std::to_string(c[i]);
        calls.push_back(call);
    }
    void loadingSplashEnable(const char* image, int fit, float opacity) override {
        calls.push_back(std::string("splash ") + image + " " + std::to_string(fit) + " " + std::to_string(opacity));
    }
    int appRun(HINSTANCE, const SStartupDat* startup, const char* t, bool windowed, unsigned char a, unsigned char b,
               int c) override {
        std::memcpy(record.data(), startup, sizeof(SStartupDat));
        title = t;
        calls.push_back("run " + std::to_string(windowed) + " " + std::to_string(a) + " " + std::to_string(b) + " " +
                        std::to_string(c));
        return appRunResult;
    }
    void appEnd() override { calls.push_back("end"); }
    unsigned char* fileLoad(const char*, size_t*) override { return nullptr; }
    void fileFree(const unsigned char*) override {}
    unsigned textureLoad(const char*, const TextureParams&) override { return 0; }
    int textureUpload(unsigned) override { return 0; }
    void textureUnUpload(unsigned) override {}
    int messageBox(const char*, const char*, unsigned) override { return IDOK; }

private:
    Host* previous_;
};


template <int N>
class ProbeEffect : public CEffect {
public:
    ProbeEffect() { gLifeLog->push_back("new " + std::to_string(N)); }
    ~ProbeEffect() override { gLifeLog->push_back("delete " + std::to_string(N)); }
};

template <int N>
CEffect* createProbe() {
    return new ProbeEffect<N>;
}
CEffect* outOfMemory() { return nullptr; }

int32_t intAt(const std::array<unsigned char, 544>& bytes, size_t offset) {
    int32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

}  // namespace

TEST(Entry, SetsTheTwelveVariablesThenRegistersThenConfiguresLoadingThenRunsAndEnds) {
    RecordingHost host;
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    const std::vector<std::string> variables = {
        "var 1 bool true",   "var 2 int 1",       "var 3 string \"\"", "var 4 string \"glimmerQ.dat\"",
        "var 5 string \"demoflow\"", "var 6 bool false", "var 7 bool true", "var 8 bool true",
        "var 9 bool false",  "var 10 bool true",  "var 11 bool false", "var 12 bool true"};
    ASSERT_GT(host.calls.size(), variables.size());
    EXPECT_EQ(std::vector<std::string>(host.calls.begin(), host.calls.begin() + 12), variables);

    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    size_t at = 12;
    for (int i = 0; i < count; ++i, ++at) EXPECT_EQ(host.calls[at], std::string("register ") + table[i].name);
    const std::vector<std::string> tail = {
        "bar 1 1.000000 0.020000 0.000000 0.450000",
        "appearance 11 770 771 1.000000 0.100000 0.100000 0.100000 1.000000 1.000000 1.000000",
        "splash cnslbg.jpg 1 1.000000", "run 1 1 1 2", "end"};
    EXPECT_EQ(std::vector<std::string>(host.calls.begin() + long(at), host.calls.end()), tail);
    EXPECT_EQ(host.title, "glimmerQ/quorV0!xe!!!");
}

TEST(Entry, TableHoldsTheEighteenRegistrationNamesInTheirFixedOrder) {
    const std::vector<std::string> order = {"CLEAR",    "SPLASH",   "STRAHLEN", "EASYONE", "COUTRO",  "CWOBBEL",
                                            "CTUNNEL",  "CKREUZ",   "CBLUR",    "CGREETZ", "CPOLYGON", "CLAND",
                                            "CBLUR2",   "CTERRAIN", "CBLUR2V",  "CBLURV",  "CTUNNELV", "CKREUZV"};
    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(table[i].name);
    EXPECT_EQ(names, order);
}

TEST(Entry, StartupRecordHoldsTheTabledBytes) {
    RecordingHost host;
    WinMain(nullptr, nullptr, nullptr, 0);
    const auto& r = host.record;
    EXPECT_EQ(r[0], 1);
    EXPECT_EQ(intAt(r, 4), 1);
    EXPECT_EQ(r[8], 1);
    EXPECT_EQ(r[9], 1);
    EXPECT_EQ(r[10], 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[11])), "glimmerQ");
    for (size_t i = 11 + 8; i < 267; ++i) ASSERT_EQ(r[i], 0) << "application name byte " << i;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&r[267])), "quorV0!xe");
    for (size_t i = 267 + 9; i < 523; ++i) ASSERT_EQ(r[i], 0) << "group name byte " << i;
    EXPECT_EQ(r[523], 1);
    EXPECT_EQ(r[524], 1);
    EXPECT_EQ(r[525], 1);
    EXPECT_EQ(intAt(r, 528), 0);
    EXPECT_EQ(r[532], 1);
    EXPECT_EQ(r[533], 1);
    EXPECT_EQ(r[534], 0);
    EXPECT_EQ(r[535], 0);
    EXPECT_EQ(r[536], 1);
    EXPECT_EQ(intAt(r, 540), 100);
}

TEST(Entry, RegistersEachObjectUnderItsOwnNameAndDestroysInTableOrderSkippingNulls) {
    std::vector<std::string> life;
    gLifeLog = &life;
    const EffectEntry table[] = {{"FIRST", createProbe<1>}, {"LOST", outOfMemory}, {"THIRD", createProbe<3>}};
    {
        RecordingHost host;
        host.appRunResult = 7;  // a failing run still ends, tears down and returns 0
        EXPECT_EQ(RunEntry(nullptr, table, 3), 0);
        ASSERT_EQ(host.registered.size(), 3u);
        EXPECT_EQ(host.registered[0].second, "FIRST");
        EXPECT_EQ(host.registeredTypes[0], typeid(ProbeEffect<1>).name());
        EXPECT_EQ(host.registered[1].second, "LOST");
        EXPECT_EQ(host.registered[1].first, nullptr);
        EXPECT_EQ(host.registered[2].second, "THIRD");
        EXPECT_EQ(host.registeredTypes[2], typeid(ProbeEffect<3>).name());
        EXPECT_EQ(host.calls.back(), "end");
        // Nothing reached the host before every effect was created.
        EXPECT_EQ(host.calls.front(), "var 1 bool true");
        EXPECT_EQ(host.createdBeforeFirstCall, 2u);
    }
    gLifeLog = nullptr;
    EXPECT_EQ(life, (std::vector<std::string>{"new 1", "new 3", "delete 1", "delete 3"}));
}
