#include "runtime/script/timeline.h"

#include <algorithm>

namespace glimmerq {

Timeline::Timeline(const std::vector<RegisteredEffect>& effects, Script script)
    : effects_(effects), script_(std::move(script)) {}

bool Timeline::advance(int64_t nowMs) {
    while (!ended_ && next_ < script_.events.size() && script_.events[next_].timeMs <= nowMs)
        apply(script_.events[next_++]);
    return !ended_;
}

void Timeline::apply(const Event& event) {
    CEffect* effect = event.effect >= 0 ? effects_[size_t(event.effect)].effect : nullptr;
    const LONG when = LONG(event.timeMs);
    // The effects take mutable strings; hand them copies so the script stays as parsed.
    std::string name = event.name;
    std::string text = event.text;
    switch (event.verb) {
    case Event::Verb::Start: {
        Run run{event.effect, event.layer, startCounter_++, false};
        auto at = std::upper_bound(running_.begin(), running_.end(), run, [](const Run& a, const Run& b) {
            return a.layer != b.layer ? a.layer < b.layer : a.order < b.order;
        });
        running_.insert(at, run);
        break;
    }
    case Event::Verb::Stop:
        stop(event.effect);
        break;
    case Event::Verb::Int:
        if (effect) effect->ReceiveInt(name.data(), event.intValue, when);
        break;
    case Event::Verb::Float:
        if (effect) effect->ReceiveFloat(name.data(), event.floatValue, when);
        break;
    case Event::Verb::String:
        if (effect) effect->ReceiveString(name.data(), text.data(), when);
        break;
    case Event::Verb::Music:
        // The soundtrack is the player's business (musicAt); effects never see it.
        break;
    case Event::Verb::End:
        stopAll();
        ended_ = true;
        break;
    }
}

void Timeline::stop(int effect) {
    auto it = std::find_if(running_.begin(), running_.end(), [&](const Run& r) { return r.effect == effect; });
    if (it == running_.end()) return;
    const Run run = *it;
    running_.erase(it);
    CEffect* object = effects_[size_t(run.effect)].effect;
    if (run.uploaded && object) object->ReleaseTextures();
}

void Timeline::stopAll() {
    while (!running_.empty()) stop(running_.front().effect);
}

void Timeline::rewind() {
    stopAll();
    next_ = 0;
    ended_ = false;
}

Timeline::Position Timeline::position() const {
    Position position;
    position.next = next_;
    position.startCounter = startCounter_;
    position.ended = ended_;
    position.running = running_;
    return position;
}

void Timeline::restore(const Position& position) {
    const auto sameRun = [](const Run& a, const Run& b) { return a.effect == b.effect && a.order == b.order; };
    const auto find = [&](const std::vector<Run>& runs, const Run& run) {
        return std::find_if(runs.begin(), runs.end(), [&](const Run& r) { return sameRun(r, run); });
    };
    std::vector<Run> running = position.running;
    for (Run& now : running_) {
        auto kept = find(running, now);
        const bool runsOn = kept != running.end() && kept->uploaded && now.uploaded;
        CEffect* object = effects_[size_t(now.effect)].effect;
        if (!runsOn && now.uploaded && object) object->ReleaseTextures();
    }
    for (Run& run : running) {
        auto now = find(running_, run);
        const bool runsOn = now != running_.end() && now->uploaded && run.uploaded;
        CEffect* object = effects_[size_t(run.effect)].effect;
        if (!runsOn && run.uploaded && object) object->UploadTextures();
    }
    running_ = std::move(running);
    next_ = position.next;
    startCounter_ = position.startCounter;
    ended_ = position.ended;
}

void Timeline::replaceScript(Script script) {
    rewind();
    script_ = std::move(script);
}

void Timeline::draw(int64_t nowMs, const std::function<void(const std::string&)>& afterEffect) {
    lastFrameCleared_ = std::any_of(running_.begin(), running_.end(), [&](const Run& run) {
        const auto* state = dynamic_cast<const CEffectState*>(effects_[size_t(run.effect)].effect);
        return state && state->ClearsWholePicture();
    });
    for (Run& run : running_) {
        CEffect* effect = effects_[size_t(run.effect)].effect;
        if (!effect) continue;
        if (!run.uploaded) {
            effect->UploadTextures();
            run.uploaded = true;
        }
        effect->DrawFrame(LONG(nowMs));
        if (afterEffect) afterEffect(effects_[size_t(run.effect)].name);
    }
}

std::string Timeline::runningCombination() const {
    std::string names;
    for (const Run& run : running_) {
        if (!names.empty()) names += '+';
        names += effects_[size_t(run.effect)].name;
    }
    return names;
}

}  // namespace glimmerq
