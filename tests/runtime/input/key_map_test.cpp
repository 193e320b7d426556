// What each key does, as a table: key, modifiers and repeat in, action out.
#include "runtime/input/key_map.h"

#include <gtest/gtest.h>

using namespace glimmerq;

namespace {

struct Case {
    int32_t key;
    uint16_t modifiers;
    bool repeat;
    KeyAction action;
};

WindowEvent keyDown(int32_t key, uint16_t modifiers, bool repeat) {
    WindowEvent event;
    event.kind = WindowEvent::Kind::KeyDown;
    event.key = key;
    event.modifiers = modifiers;
    event.repeat = repeat;
    return event;
}

}  // namespace

TEST(KeyMap, EachKeyWithItsModifiersGivesItsActionAndOnlySeekingRepeats) {
    const Case cases[] = {
        {keys::kEscape, 0, false, KeyAction::Quit},
        {keys::kSpace, 0, false, KeyAction::TogglePause},
        {keys::kSpace, 0, true, KeyAction::None},  // held: one toggle only
        {keys::kLeft, 0, false, KeyAction::SeekBack},
        {keys::kLeft, 0, true, KeyAction::SeekBack},
        {keys::kRight, 0, true, KeyAction::SeekForward},
        {keys::kLeft, kShift, false, KeyAction::SeekFarBack},
        {keys::kRight, kShift, true, KeyAction::SeekFarForward},
        {keys::kHome, 0, false, KeyAction::Restart},
        {'r', 0, false, KeyAction::Reload},
        {'r', kShift, false, KeyAction::Reload},
        {'r', 0, true, KeyAction::None},
        {'s', 0, false, KeyAction::Screenshot},
        {keys::kF11, 0, false, KeyAction::ToggleFullscreen},
        {keys::kReturn, kAlt, false, KeyAction::ToggleFullscreen},
        {keys::kKeypadEnter, kAlt, false, KeyAction::ToggleFullscreen},
        {keys::kReturn, kAlt, true, KeyAction::None},
        {keys::kReturn, 0, false, KeyAction::None},
        {keys::kTab, 0, false, KeyAction::ToggleOverlay},
        {'[', 0, false, KeyAction::RangeStartHere},
        {']', 0, false, KeyAction::RangeEndHere},
        {keys::kBackspace, 0, false, KeyAction::ClearRange},
        // Ctrl, Super and Alt are left to the overlay's editing.
        {'z', kCtrl, false, KeyAction::None},
        {'s', kCtrl, false, KeyAction::None},
        {keys::kLeft, kCtrl, false, KeyAction::None},
        {keys::kSpace, kSuper, false, KeyAction::None},
        {keys::kLeft, kAlt, false, KeyAction::None},
        {'r', kAlt | kShift, false, KeyAction::None},
        {keys::kUp, 0, false, KeyAction::None},
        {keys::kDelete, 0, false, KeyAction::None},
        {'a', 0, false, KeyAction::None},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keyAction(keyDown(c.key, c.modifiers, c.repeat)), c.action)
            << "key " << c.key << " modifiers " << c.modifiers << (c.repeat ? " repeating" : "");
}

TEST(KeyMap, OnlyAKeysPressActs) {
    WindowEvent release = keyDown(keys::kEscape, 0, false);
    release.kind = WindowEvent::Kind::KeyUp;
    EXPECT_EQ(keyAction(release), KeyAction::None);
    WindowEvent text;
    text.kind = WindowEvent::Kind::Text;
    text.text = "r";
    EXPECT_EQ(keyAction(text), KeyAction::None);
    WindowEvent closed;  // a Quit: the window's, not a key's
    EXPECT_EQ(keyAction(closed), KeyAction::None);
}
