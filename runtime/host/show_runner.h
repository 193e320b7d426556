// show_runner.h: what the host hands DEMOGL_AppRun and DEMOGL_AppEnd to.
//
//   class Session : public ShowRunner { ... };   // the program's modes, in app/
//   host.setShowRunner(&session);
//
// The host keeps what the entry configured and serves the effects; everything that makes a
// show of it (data, script, graphics, playing, exit codes) is the runner's. This is the one
// thing the host knows of whoever sets a run up.
#pragma once

#include <string>

namespace glimmerq {

class ShowRunner {
public:
    virtual ~ShowRunner() = default;
    // DEMOGL_AppRun: plays the show under this window title; returns when it is over.
    virtual int runShow(const std::string& title) = 0;
    // DEMOGL_AppEnd: releases what the show held (textures, graphics).
    virtual void endShow() = 0;
};

}  // namespace glimmerq
