// key_map.h: what each key does, in one table.
//
//   switch (keyAction(event)) { case KeyAction::Quit: ...; }   // a KeyDown event
//
//   Esc                 quit
//   Space               pause or resume
//   Left, Right         seek 5 s back or forward; with Shift 30 s (these repeat when held)
//   Home                restart from the beginning
//   R                   reload the data
//   S                   save the picture
//   F11, Alt+Enter      window or full screen
//   Tab                 show or hide the timeline overlay
//   [, ]                the loop range starts or ends at the playhead
//   Backspace           clear the loop range
//
// Only a key's first press acts, except seeking, which repeats while the key is held. Keys
// held with Ctrl or Super, and with Alt (but Alt+Enter), mean nothing here: they are left to
// the overlay's editing. Every other event is KeyAction::None.
// Not here: what the actions do (key_controls.h, player.h).
#pragma once

#include "runtime/display/window_event.h"

namespace glimmerq {

enum class KeyAction {
    None,
    Quit,
    TogglePause,
    SeekBack,
    SeekForward,
    SeekFarBack,
    SeekFarForward,
    Restart,
    Reload,
    Screenshot,
    ToggleFullscreen,
    ToggleOverlay,
    RangeStartHere,
    RangeEndHere,
    ClearRange,
};

KeyAction keyAction(const WindowEvent& event);

}  // namespace glimmerq
