// effect_list.h: `--list-effects`, the registered effect names in table order, one a line.
//
//   EffectList list(host, stdout);
//   host.setShowRunner(&list);      // DEMOGL_AppRun prints them; nothing is opened or drawn
#pragma once

#include "runtime/host/demogl_host.h"
#include "runtime/host/show_runner.h"

#include <cstdio>

namespace glimmerq {

class EffectList : public ShowRunner {
public:
    EffectList(const DemoGlHost& host, std::FILE* out) : host_(host), out_(out) {}
    int runShow(const std::string& title) override;
    void endShow() override {}

private:
    const DemoGlHost& host_;
    std::FILE* out_;
};

}  // namespace glimmerq
