// show_fixture.h: the real show on a headless context, for tests and measurements that play it.
//
//   ShowFixture show(160, 90, GLIMMERQ_DATA_DIR);   // every effect of the demo, set up
//   Timeline timeline(show.effects(), show.script());
//   ShowFixture inWindow(160, 90, GLIMMERQ_DATA_DIR, ShowFixture::kCurrentContext);
//
// The effects come from the demo's table, with the runtime's FLASH after them, and read the data directory through a TestHost; the
// context's render target is bound. Not here: sound, a window, the loading screen.
#pragma once

#include "runtime/host/screen_flash.h"
#include "runtime/script/script.h"
#include "runtime/script/timeline.h"
#include "tests/support/test_host.h"

#include <memory>
#include <string>
#include <vector>

namespace glimmerq::testing {

class ShowFixture {
public:
    static constexpr bool kCurrentContext = false;
    ShowFixture(int width, int height, const std::string& dataDir, bool ownContext = true);
    ~ShowFixture();

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const RenderTarget& target() const;  // with a context of its own
    const std::vector<RegisteredEffect>& effects() const { return effects_; }
    const Script& script() const { return script_; }

private:
    std::unique_ptr<GlFixture> gl_;
    TestHost host_;
    ScreenFlash flash_;
    std::vector<RegisteredEffect> effects_;
    Script script_;
    std::string error_;
};

}  // namespace glimmerq::testing
