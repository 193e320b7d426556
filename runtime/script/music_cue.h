// music_cue.h: which soundtrack the script asks for at a timeline time, and from where.
//
//   if (auto cue = musicAt(script, nowMs))
//       player.play(cue->member, nowMs - cue->startMs);   // offset into the track, also for --start
//
// The last `music` line at or before the time wins; there is none before the first `music`
// line and none at or after `end`. This only reads the script: it neither opens nor plays
// anything, and it does not know how long the track is.
#pragma once

#include "runtime/script/script.h"

#include <cstdint>
#include <optional>
#include <string>

namespace glimmerq {

struct MusicCue {
    std::string member;   // data-file member named by the `music` line
    int64_t startMs = 0;  // timeline time of that line: the track's position 0
    bool operator==(const MusicCue& o) const { return member == o.member && startMs == o.startMs; }
};

inline std::optional<MusicCue> musicAt(const Script& script, int64_t timelineMs) {
    if (timelineMs >= script.endMs()) return std::nullopt;
    std::optional<MusicCue> cue;
    for (const Event& event : script.events) {
        if (event.timeMs > timelineMs) break;  // times never decrease
        if (event.verb == Event::Verb::Music) cue = MusicCue{event.text, event.timeMs};
    }
    return cue;
}

}  // namespace glimmerq
