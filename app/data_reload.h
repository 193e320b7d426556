// data_reload.h: reloading a data directory while a window plays, on R or when a watched
// file changes.
//
//   DataReload reloading(data, reads, textures, host, messages);
//   hooks.reload = [&](auto show) { return reloading.reload(timeline, show); };   // R
//   auto watch = reloading.watch(clock);     // --watch: a source of commands (player.h)
//   if (watch) hooks.controls.push_back(watch.get());
//
// A reload reads the script again (a mistake is reported and the old script plays on),
// reloads the changed textures and sets up again only the effects whose files changed
// (data_reads.h). The watch looks at the files read so far twice a second and asks for a
// reload when one changed. An archive never changes: it is never reloaded or watched.
// Not here: replaying the timeline to where the show was (the player's), the overlay's new
// chart (run_assembly.h).
#pragma once

#include "runtime/base/clock.h"
#include "runtime/base/messages.h"
#include "runtime/data/data_reads.h"
#include "runtime/data/data_source.h"
#include "runtime/data/texture_store.h"
#include "runtime/host/demogl_host.h"
#include "runtime/play/player.h"
#include "runtime/script/timeline.h"

#include <functional>
#include <memory>
#include <string>

namespace glimmerq {

class DataReload {
public:
    // setUp sets one effect (by its index) up again.
    DataReload(const DataSource& data, DataReads& reads, TextureStore& textures, DemoGlHost& host,
               const Messages& messages, std::function<void(size_t effect)> setUp);

    // False when nothing changed in what plays (an archive, a broken script); show puts a
    // message where the viewer looks (the window's title).
    bool reload(Timeline& timeline, const std::function<void(const std::string&)>& show);
    // Null, said in a message, for an archive.
    std::unique_ptr<Controls> watch(Clock& clock);

private:
    const DataSource& data_;
    DataReads& reads_;
    TextureStore& textures_;
    DemoGlHost& host_;
    const Messages& messages_;
    std::function<void(size_t)> setUp_;
};

}  // namespace glimmerq
