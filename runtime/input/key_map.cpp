#include "runtime/input/key_map.h"

namespace glimmerq {

namespace {

struct Binding {
    int32_t key;
    KeyAction action;
};

// Plain keys: any Shift, no Ctrl, Alt or Super.
constexpr Binding kPlainKeys[] = {
    {keys::kEscape, KeyAction::Quit},
    {keys::kSpace, KeyAction::TogglePause},
    {keys::kHome, KeyAction::Restart},
    {'r', KeyAction::Reload},
    {'s', KeyAction::Screenshot},
    {keys::kF11, KeyAction::ToggleFullscreen},
    {keys::kTab, KeyAction::ToggleOverlay},
    {'[', KeyAction::RangeStartHere},
    {']', KeyAction::RangeEndHere},
    {keys::kBackspace, KeyAction::ClearRange},
};

KeyAction seek(int32_t key, bool far) {
    if (key == keys::kLeft) return far ? KeyAction::SeekFarBack : KeyAction::SeekBack;
    if (key == keys::kRight) return far ? KeyAction::SeekFarForward : KeyAction::SeekForward;
    return KeyAction::None;
}

}  // namespace

KeyAction keyAction(const WindowEvent& event) {
    if (event.kind != WindowEvent::Kind::KeyDown) return KeyAction::None;
    const uint16_t held = event.modifiers;
    if (held & (kCtrl | kSuper)) return KeyAction::None;
    if (held & kAlt) {
        const bool enter = event.key == keys::kReturn || event.key == keys::kKeypadEnter;
        return enter && !event.repeat ? KeyAction::ToggleFullscreen : KeyAction::None;
    }
    const KeyAction seeking = seek(event.key, held & kShift);
    if (seeking != KeyAction::None) return seeking;
    if (event.repeat) return KeyAction::None;
    for (const Binding& binding : kPlainKeys)
        if (binding.key == event.key) return binding.action;
    return KeyAction::None;
}

}  // namespace glimmerq
