// messages.h: the one place the program's lines to the person at the terminal go through.
//
//   Messages messages;                       // stderr and stdout; a test passes its own streams
//   messages.report("show.mp4: ffmpeg stopped");   // stderr: "glimmerq: show.mp4: ffmpeg stopped"
//   messages.note("saved glimmerq-0m01.000s.png"); // stdout, same prefix
//   std::string line = messageLine("...");   // the same line, for code that prints it itself
//
// Callers say what happened; the prefix, the streams and the one-line policy live here.
// Lines are written whole and flushed, so they never interleave with a progress line.
// Not here: wording of particular messages, deduplication (the music player keeps its own).
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace glimmerq {

// "glimmerq: " + what.
std::string messageLine(const std::string& what);

class Messages {
public:
    explicit Messages(FILE* err = stderr, FILE* out = stdout) : err_(err), out_(out) {}

    // Something went wrong or is worth knowing: one line on stderr.
    void report(const std::string& what) const;
    // What the person asked for happened (a screenshot saved): one line on stdout.
    void note(const std::string& what) const;
    // A sink for pieces that take a plain callback.
    std::function<void(const std::string&)> reporter() const {
        return [this](const std::string& what) { report(what); };
    }

    FILE* err() const { return err_; }
    FILE* out() const { return out_; }

private:
    FILE* err_;
    FILE* out_;
};

}  // namespace glimmerq
