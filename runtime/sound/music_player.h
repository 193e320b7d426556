// music_player.h: plays a soundtrack from the data file and says where in it the listener is.
//
//   MusicPlayer music(data, makeSdlAudioDevice(), messages.reporter());
//   music.play("theme.ogg", 12500, clock.nowMicros());   // from 12.5 s into the track
//   each frame:  music.pump(now);                        // keeps the device fed
//                if (auto ms = music.positionMs(now)) ...  // what is heard: the picture follows
//   Esc:         music.stop();                           // silent at once
//
// Times are microseconds on the clock the device stamps its progress with: for the SDL
// device that is SteadyClock (clock.h); a test's fake device uses the test's clock.
// Everything runs on the caller's thread, once per frame: pump decodes what the device
// will need over the next kDecodeAheadMillis, never the whole track, so play() costs one
// device open (the first time or when the rate changes) and a few pages of decoding.
// Failures never stop the show: each sends one line to the message sink (which adds the
// program's prefix, messages.h), the first time it happens, and the music stays silent
// (positionMs() is then empty and the caller follows its own clock):
//   no audio device (SDL's reason); playing without sound
//   DATAFILE: no member "NAME"; playing without sound
//   DATAFILE: NAME: what is wrong; playing without sound
//   DATAFILE: NAME: what is wrong at 1:02.500; the rest plays without sound
//   DATAFILE: NAME: cut off after 1:02.500; the music ends there
//   the audio device stopped playing; playing without sound
// A device that fails to open is not tried again. It does not mix, loop, fade or play two
// tracks at once; a new play() replaces the old track at once.
#pragma once

#include "runtime/sound/audio_clock.h"
#include "runtime/sound/audio_device.h"
#include "runtime/data/data_source.h"
#include "runtime/sound/ogg_stream.h"

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace glimmerq {

class MusicPlayer {
public:
    static constexpr int64_t kDecodeAheadMillis = 300;   // sound decoded ahead of the device
    static constexpr int kPeriodFrames = 1024;           // device callback size asked for
    static constexpr int64_t kStallMicros = 1000000;     // no progress this long: the device is gone

    using MessageSink = std::function<void(const std::string&)>;

    // device may be null (no sound at all, no message). The data source must outlive the player.
    MusicPlayer(const DataSource& data, std::unique_ptr<AudioDevice> device, MessageSink sink);
    ~MusicPlayer();

    // Starts member at offsetMs into it (negative counts as 0), replacing what played.
    // False when it cannot sound (reported once per member or device); an offset at or past
    // the track's end is no failure but plays nothing (finished() is true).
    bool play(const std::string& member, int64_t offsetMs, int64_t nowMicros);
    // Once per frame: hands the device what it will need and notices the end or a stall.
    void pump(int64_t nowMicros);
    // Silences at once and forgets the track.
    void stop();

    // The member play() last started, sounding or not; empty after stop().
    const std::string& member() const { return member_; }
    // True from a successful play() until the track has been heard to its end or stopped.
    bool playing() const { return stream_ != nullptr; }
    // True when the track was heard to its end (or the offset lay past it).
    bool finished() const { return finished_; }
    // Milliseconds into the track that the listener hears at nowMicros, while playing().
    std::optional<int64_t> positionMs(int64_t nowMicros);

private:
    void report(const std::string& line);
    void fill();
    void endTrack();
    bool ensureDevice(int rate);

    const DataSource& data_;
    std::unique_ptr<AudioDevice> device_;
    MessageSink sink_;
    bool deviceOpen_ = false;
    bool deviceFailed_ = false;
    std::set<std::string> reported_;   // lines already sent: each failure is told once

    std::string member_;
    std::unique_ptr<OggStream> stream_;
    std::unique_ptr<AudioClock> clock_;
    bool streamEnded_ = false;          // decoded to the end; the device may still be playing
    bool finished_ = false;
    int64_t offsetMs_ = 0;
    int64_t writtenFrames_ = 0;         // handed to the device since play()
    int64_t lastReportMicros_ = -1;     // progress().atMicros last passed to the clock
    int64_t lastConsumed_ = 0;
    int64_t lastProgressMicros_ = 0;    // caller's time when the device last moved
    std::vector<int16_t> scratch_;
};

}  // namespace glimmerq
