#include "app/data_reload.h"

#include "app/show_data.h"

namespace glimmerq {

namespace {

constexpr int64_t kWatchIntervalMicros = 500000;  // --watch looks at the files twice a second

class FolderWatch : public Controls {
public:
    FolderWatch(const DataReads& reads, Clock& clock) : reads_(reads), clock_(clock), lastLook_(clock.nowMicros()) {}

    Commands poll() override {
        Commands commands;
        const int64_t now = clock_.nowMicros();
        if (now - lastLook_ < kWatchIntervalMicros) return commands;
        lastLook_ = now;
        commands.reload = !reads_.changed().empty();
        return commands;
    }

private:
    const DataReads& reads_;
    Clock& clock_;
    int64_t lastLook_;
};

}  // namespace

DataReload::DataReload(const DataSource& data, DataReads& reads, TextureStore& textures, DemoGlHost& host,
                       const Messages& messages, std::function<void(size_t)> setUp)
    : data_(data), reads_(reads), textures_(textures), host_(host), messages_(messages), setUp_(std::move(setUp)) {}

bool DataReload::reload(Timeline& timeline, const std::function<void(const std::string&)>& show) {
    const auto say = [&](const std::string& message) {
        messages_.report(message);
        show(message);
    };
    if (!data_.reloadable()) {
        say(data_.origin() + " is an archive; only a data directory can be reloaded");
        return false;
    }
    std::vector<std::string> names;
    for (const auto& e : host_.effects()) names.push_back(e.name);
    std::string error;
    auto script = readShowScript(data_, &reads_, host_.scriptName(), names, &error);
    if (!script) {
        say(error);  // the old script plays on until the next change
        reads_.accept({host_.scriptName()});
        return false;
    }
    const std::vector<std::string> changed = reads_.changed();
    timeline.replaceScript(std::move(*script));  // every run released: nothing is resident
    for (const std::string& name : changed) textures_.reload(name);
    std::string again;
    for (int owner : reads_.ownersOf(changed)) {
        setUp_(size_t(owner));
        again += (again.empty() ? "" : ", ") + host_.effects()[size_t(owner)].name;
    }
    reads_.accept(changed);
    messages_.report("reloaded " + data_.origin() + (again.empty() ? "" : "; set up again: " + again));
    return true;
}

std::unique_ptr<Controls> DataReload::watch(Clock& clock) {
    if (!data_.reloadable()) {
        messages_.report("--watch: " + data_.origin() + " is an archive, which never changes; watching nothing");
        return nullptr;
    }
    return std::make_unique<FolderWatch>(reads_, clock);
}

}  // namespace glimmerq
