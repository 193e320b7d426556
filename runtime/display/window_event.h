// window_event.h: what the window reports, in the program's own words, so that what a key
// does can be decided (and tested) without SDL.
//
//   for (const WindowEvent& event : window.pollEvents())
//       if (event.kind == WindowEvent::Kind::Key && event.key == keys::kEscape) ...;
//
// Keys are named by their symbol on the keyboard's layout: a printable key by its lowercase
// character ('r', '[', ' '), the others by the constants below. The values are SDL's own
// keycodes (window.cpp checks that they agree), so nothing is lost in the translation.
// Mouse positions are in the window's points, origin upper left, as SDL's motion events
// report them (not from its global mouse state, which some X servers update only when a
// button changes).
// Not here: what a key does (runtime/input/key_map.h).
#pragma once

#include <cstdint>
#include <string>

namespace glimmerq {

namespace keys {
constexpr int32_t kBackspace = '\b';
constexpr int32_t kTab = '\t';
constexpr int32_t kReturn = '\r';
constexpr int32_t kEscape = 27;
constexpr int32_t kSpace = ' ';
constexpr int32_t kDelete = 127;
// Keys without a character: bit 30 set over their place on a US keyboard (USB usage id).
constexpr int32_t kNoCharacter = 1 << 30;
constexpr int32_t kF11 = kNoCharacter | 68;
constexpr int32_t kHome = kNoCharacter | 74;
constexpr int32_t kPageUp = kNoCharacter | 75;
constexpr int32_t kEnd = kNoCharacter | 77;
constexpr int32_t kPageDown = kNoCharacter | 78;
constexpr int32_t kRight = kNoCharacter | 79;
constexpr int32_t kLeft = kNoCharacter | 80;
constexpr int32_t kDown = kNoCharacter | 81;
constexpr int32_t kUp = kNoCharacter | 82;
constexpr int32_t kKeypadEnter = kNoCharacter | 88;
}  // namespace keys

// Modifier bits; left and right count alike.
enum Modifier : uint16_t {
    kShift = 1 << 0,
    kCtrl = 1 << 1,
    kAlt = 1 << 2,
    kSuper = 1 << 3,
};

struct WindowEvent {
    enum class Kind {
        KeyDown,      // key, scancode, modifiers, repeat
        KeyUp,        // key, scancode, modifiers
        ButtonDown,   // button, x, y
        ButtonUp,     // button, x, y
        Motion,       // x, y
        Left,         // the mouse left the window
        Wheel,        // wheelX, wheelY
        Text,         // text
        Resized,      // width, height
        Quit,         // the window was closed, or destroyed from outside
    };
    Kind kind = Kind::Quit;
    int32_t key = 0;          // symbol: see keys above
    int scancode = 0;         // the key's place on the keyboard (SDL's scancode, below 512)
    uint16_t modifiers = 0;   // Modifier bits held, the pressed key's own included
    bool repeat = false;      // KeyDown: the key is held and repeats
    int button = 0;           // 1 left, 2 middle, 3 right, 4 and 5 the side buttons
    float x = 0.0f, y = 0.0f;  // points, origin upper left
    float wheelX = 0.0f, wheelY = 0.0f;  // notches; y > 0 away from the user, x > 0 right
    int width = 0, height = 0;  // Resized: the window's new size in points
    std::string text;         // Text: UTF-8 typed text

    bool isKey() const { return kind == Kind::KeyDown || kind == Kind::KeyUp || kind == Kind::Text; }
    bool isMouse() const {
        return kind == Kind::ButtonDown || kind == Kind::ButtonUp || kind == Kind::Motion || kind == Kind::Wheel ||
               kind == Kind::Left;
    }
};

}  // namespace glimmerq
