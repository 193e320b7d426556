// data_source.h: where the demo's files come from.
//
//   std::string error;
//   auto data = openDataSource("glimmerQ.dat", &error);   // a zip archive or a directory
//   auto bytes = data->read("demoflow");                   // std::nullopt when absent
//
// Member names are flat names as the effects ask for them ("block.ms3d"). A name that is
// empty, absolute, contains ".." as a component or a backslash is refused: it can never
// reach a file outside the data directory or archive.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace glimmerq {

using Bytes = std::vector<unsigned char>;

class DataSource {
public:
    virtual ~DataSource() = default;
    // The whole member, or nullopt when it is absent, unreadable or its name is refused.
    virtual std::optional<Bytes> read(const std::string& name) const = 0;
    // Where the data comes from, for messages ("glimmerQ.dat", "data/").
    virtual std::string origin() const = 0;
    // What tells one version of a member from the next (size and modification time), for
    // reloading while playing; empty when absent or when the source never changes (an archive).
    virtual std::string stamp(const std::string& /*name*/) const { return std::string(); }
    // True when members can change under a running program (a directory).
    virtual bool reloadable() const { return false; }
    // Why a member that is there cannot be read ("is encrypted"), for the message when read()
    // gave nothing; empty when the member is absent (or readable).
    virtual std::string unreadable(const std::string& /*name*/) const { return std::string(); }
    // Every member's name, sorted (a directory's files below it, as "sub/name").
    virtual std::vector<std::string> members() const = 0;
};

// True when a member name may be looked up at all.
bool isSafeMemberName(const std::string& name);

// Opens a zip archive or a directory; null with a one-line reason in *error.
std::unique_ptr<DataSource> openDataSource(const std::string& path, std::string* error);

// Files held in memory, for tests and tools.
class MemoryDataSource : public DataSource {
public:
    void put(const std::string& name, Bytes bytes) { files_[name] = std::move(bytes); }
    void put(const std::string& name, const std::string& text) { files_[name] = Bytes(text.begin(), text.end()); }
    std::optional<Bytes> read(const std::string& name) const override;
    std::string origin() const override { return "memory"; }
    std::vector<std::string> members() const override;

private:
    std::map<std::string, Bytes> files_;
};

}  // namespace glimmerq
