#include "runtime/data/data_unpack.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace glimmerq {

namespace {

constexpr int kMostTries = 1000;  // folders named -2 .. -1000 before giving up

}  // namespace

std::string freeUnpackFolder(const std::string& parent, const std::string& archivePath) {
    const std::string stem = fs::path(archivePath).stem().string();
    const fs::path base = fs::path(parent) / (stem.empty() ? std::string("data") : stem + "-data");
    std::error_code ec;
    if (!fs::exists(base, ec)) return base.string();
    for (int n = 2; n <= kMostTries; ++n) {
        const fs::path next = base.string() + "-" + std::to_string(n);
        if (!fs::exists(next, ec)) return next.string();
    }
    return base.string();  // unpackData refuses it
}

bool unpackData(const DataSource& data, const std::string& folder, std::string* error) {
    std::error_code ec;
    // create_directory says false for a folder that is there: never unpack over one.
    if (!fs::create_directory(folder, ec)) {
        *error = folder + ": " + (ec ? ec.message() : std::string("is there already; nothing was written"));
        return false;
    }
    for (const std::string& name : data.members()) {
        const auto bytes = data.read(name);
        const fs::path path = fs::path(folder) / name;
        fs::create_directories(path.parent_path(), ec);
        std::ofstream out(path, std::ios::binary);
        if (bytes) out.write(reinterpret_cast<const char*>(bytes->data()), std::streamsize(bytes->size()));
        out.close();
        if (!bytes || !out) {
            *error = folder + ": " + name + (bytes ? ": " + std::string(std::strerror(errno)) : ": cannot be read");
            fs::remove_all(folder, ec);
            return false;
        }
    }
    return true;
}

}  // namespace glimmerq
