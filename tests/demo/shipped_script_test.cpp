// The shipped timeline plays every effect of the demo's table: a rechoreography that drops
// one fails here, not in front of an audience.
#include "demo/entry.h"
#include "runtime/script/script.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

TEST(ShippedScript, StartsEveryEffectOfTheDemosTable) {
    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    ASSERT_EQ(count, 18);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) names.push_back(table[i].name);
    names.push_back("FLASH");  // the runtime's own, which the host adds after the table

    std::ifstream file(GLIMMERQ_SOURCE_DIR "/data/demoflow");
    ASSERT_TRUE(file) << "data/demoflow";
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string error;
    const auto script = glimmerq::parseScript(text, names, &error);
    ASSERT_TRUE(script) << error;

    std::set<int> started;
    for (const glimmerq::Event& event : script->events)
        if (event.verb == glimmerq::Event::Verb::Start) started.insert(event.effect);
    for (int i = 0; i < count; ++i) EXPECT_TRUE(started.count(i)) << names[size_t(i)] << " never starts";
}
