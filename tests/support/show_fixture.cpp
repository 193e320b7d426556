#include "tests/support/show_fixture.h"

#include "demo/entry.h"

#include <fstream>
#include <sstream>

namespace glimmerq::testing {

ShowFixture::ShowFixture(int width, int height, const std::string& dataDir, bool ownContext) {
    if (ownContext) {
        gl_ = std::make_unique<GlFixture>(width, height);
        if (!gl_->ok()) {
            error_ = gl_->error();
            return;
        }
    }
    host_.useDirectory(dataDir);
    int count = 0;
    const EffectEntry* table = DemoEffectTable(&count);
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        effects_.push_back({table[i].name, table[i].create()});
        names.push_back(table[i].name);
    }
    effects_.push_back({kScreenFlashName, &flash_});
    names.push_back(kScreenFlashName);
    std::ifstream file(dataDir + "/demoflow", std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    auto script = parseScript(text.str(), names, &error_);
    if (!script) return;
    script_ = std::move(*script);
    for (RegisteredEffect& e : effects_)
        if (e.effect) e.effect->Setup(width, height);
    if (gl_) gl_->target().clearToStart();
}

ShowFixture::~ShowFixture() {
    for (RegisteredEffect& e : effects_)
        if (e.effect != &flash_) delete e.effect;
}

const RenderTarget& ShowFixture::target() const { return gl_->target(); }

}  // namespace glimmerq::testing
