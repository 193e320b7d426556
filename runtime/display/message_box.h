// message_box.h: a modal message over the desktop, for the effects' MessageBoxA.
//
//   showMessageBox("Error", "Couldn't load the model dat\"block.ms3d", true);
//
// Blocks until the person closes it. Only for runs with a window: a headless run has no one
// to click it away. Not here: writing the message down (the host reports it on stderr).
#pragma once

#include <string>

namespace glimmerq {

void showMessageBox(const std::string& caption, const std::string& text, bool error);

}  // namespace glimmerq
