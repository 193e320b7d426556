#include "app/show_data.h"

#include <filesystem>

namespace fs = std::filesystem;

namespace glimmerq {

std::string findDataPath(const std::string& dataOption, const std::string& fileName, std::string* error) {
    if (!dataOption.empty()) return dataOption;
    std::vector<fs::path> candidates;
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        candidates.push_back(exe.parent_path() / fileName);
        candidates.push_back(exe.parent_path().parent_path() / "share" / "glimmerq" / fileName);
    }
    candidates.push_back(fs::path(GLIMMERQ_INSTALL_DATADIR) / fileName);
    std::string looked;
    for (const fs::path& candidate : candidates) {
        if (fs::exists(candidate, ec)) return candidate.string();
        looked += (looked.empty() ? "" : ", ") + candidate.lexically_normal().string();
    }
    *error = "no " + fileName + " found (looked in " + looked + "); name the data with --data PATH";
    return std::string();
}

std::optional<Script> readShowScript(const DataSource& data, DataReads* reads, const std::string& scriptName,
                                     const std::vector<std::string>& effectNames, std::string* error) {
    const auto bytes = data.read(scriptName);
    if (!bytes) {
        *error = data.origin() + ": no timeline script \"" + scriptName + "\"";
        return std::nullopt;
    }
    if (reads) reads->record(-1, scriptName);
    const std::string shownName = (fs::path(data.origin()) / scriptName).string();
    auto script = parseScript(std::string(bytes->begin(), bytes->end()), effectNames, error, shownName);
    // The music player reads its tracks itself; a changed track asks for a reload too, which
    // starts the music again from the new file.
    if (script && reads)
        for (const Event& event : script->events)
            if (event.verb == Event::Verb::Music) reads->record(-1, event.text);
    return script;
}

}  // namespace glimmerq
