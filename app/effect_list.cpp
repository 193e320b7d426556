#include "app/effect_list.h"

#include "app/exit_codes.h"

namespace glimmerq {

int EffectList::runShow(const std::string&) {
    for (const auto& e : host_.effects()) std::fprintf(out_, "%s\n", e.name.c_str());
    return kExitOk;
}

}  // namespace glimmerq
