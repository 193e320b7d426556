#include "runtime/input/key_controls.h"

namespace glimmerq {

namespace {
constexpr int64_t kSeekStepMs = 5000;      // Left, Right
constexpr int64_t kFarSeekStepMs = 30000;  // with Shift
}  // namespace

bool KeyControls::handle(const WindowEvent& event) {
    const KeyAction action = keyAction(event);
    switch (action) {
    case KeyAction::None: return false;
    case KeyAction::Quit: pending_.quit = true; break;
    case KeyAction::TogglePause: pending_.togglePause = !pending_.togglePause; break;
    case KeyAction::SeekBack: pending_.seekMs -= kSeekStepMs; break;
    case KeyAction::SeekForward: pending_.seekMs += kSeekStepMs; break;
    case KeyAction::SeekFarBack: pending_.seekMs -= kFarSeekStepMs; break;
    case KeyAction::SeekFarForward: pending_.seekMs += kFarSeekStepMs; break;
    case KeyAction::Restart: pending_.restart = true; break;
    case KeyAction::Reload: pending_.reload = true; break;
    case KeyAction::RangeStartHere: pending_.rangeStartHere = true; break;
    case KeyAction::RangeEndHere: pending_.rangeEndHere = true; break;
    case KeyAction::ClearRange: pending_.clearRange = true; break;
    case KeyAction::Screenshot:
    case KeyAction::ToggleFullscreen:
    case KeyAction::ToggleOverlay: {
        const auto run = runs_.find(action);
        if (run != runs_.end() && run->second) run->second();
        break;
    }
    }
    return true;
}

Commands KeyControls::poll() {
    Commands commands = pending_;
    pending_ = Commands();
    return commands;
}

}  // namespace glimmerq
