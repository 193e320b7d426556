#include "runtime/data/data_source.h"

#include <zip.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace glimmerq {

namespace {

// Members larger than this are refused rather than allocated (the demo's largest is a few MiB).
constexpr uint64_t kMaxMemberBytes = 256ull << 20;

class DirectoryDataSource : public DataSource {
public:
    explicit DirectoryDataSource(fs::path dir) : dir_(std::move(dir)) {}

    std::optional<Bytes> read(const std::string& name) const override {
        if (!isSafeMemberName(name)) return std::nullopt;
        const fs::path path = dir_ / name;
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) return std::nullopt;
        const auto size = fs::file_size(path, ec);
        if (ec || size > kMaxMemberBytes) return std::nullopt;
        std::ifstream in(path, std::ios::binary);
        Bytes bytes(size);
        if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(size))) return std::nullopt;
        return bytes;
    }

    std::string origin() const override { return dir_.string(); }
    bool reloadable() const override { return true; }
    std::vector<std::string> members() const override {
        std::vector<std::string> names;
        std::error_code ec;
        for (auto it = fs::recursive_directory_iterator(dir_, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec)) {
            const std::string name = fs::relative(it->path(), dir_, ec).generic_string();
            if (it->is_regular_file(ec) && isSafeMemberName(name)) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string stamp(const std::string& name) const override {
        if (!isSafeMemberName(name)) return std::string();
        std::error_code ec;
        const fs::path path = dir_ / name;
        const auto size = fs::file_size(path, ec);
        if (ec) return std::string();
        const auto written = fs::last_write_time(path, ec);
        if (ec) return std::string();
        return std::to_string(size) + "@" + std::to_string(written.time_since_epoch().count());
    }

private:
    fs::path dir_;
};

class ZipDataSource : public DataSource {
public:
    ZipDataSource(zip_t* archive, std::string path) : archive_(archive), path_(std::move(path)) {}
    ~ZipDataSource() override { zip_discard(archive_); }

    std::optional<Bytes> read(const std::string& name) const override {
        if (!isSafeMemberName(name)) return std::nullopt;
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (zip_stat(archive_, name.c_str(), 0, &stat) != 0) return std::nullopt;
        if (!(stat.valid & ZIP_STAT_SIZE) || stat.size > kMaxMemberBytes) return std::nullopt;
        zip_file_t* file = zip_fopen(archive_, name.c_str(), 0);
        if (!file) return std::nullopt;
        Bytes bytes(stat.size);
        const zip_int64_t got = zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
        if (got < 0 || uint64_t(got) != stat.size) return std::nullopt;
        return bytes;
    }

    std::string origin() const override { return path_; }
    std::vector<std::string> members() const override {
        std::vector<std::string> names;
        const zip_int64_t count = zip_get_num_entries(archive_, 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char* name = zip_get_name(archive_, zip_uint64_t(i), 0);
            if (name && isSafeMemberName(name)) names.push_back(name);  // folders end in '/': left out
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string unreadable(const std::string& name) const override {
        zip_stat_t stat;
        zip_stat_init(&stat);
        if (!isSafeMemberName(name) || zip_stat(archive_, name.c_str(), 0, &stat) != 0) return std::string();
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            return "is encrypted";
        if ((stat.valid & ZIP_STAT_SIZE) && stat.size > kMaxMemberBytes)
            return "is larger than " + std::to_string(kMaxMemberBytes >> 20) + " MiB";
        if (read(name)) return std::string();
        return "cannot be unpacked (" + std::string(zip_strerror(archive_)) + ")";
    }

private:
    zip_t* archive_;
    std::string path_;
};

}  // namespace

bool isSafeMemberName(const std::string& name) {
    if (name.empty() || name.front() == '/' || name.find('\\') != std::string::npos) return false;
    if (name.find('\0') != std::string::npos) return false;
    std::stringstream parts(name);
    std::string part;
    while (std::getline(parts, part, '/'))
        if (part == ".." || part == "." || part.empty()) return false;
    return name.back() != '/';
}

std::optional<Bytes> MemoryDataSource::read(const std::string& name) const {
    if (!isSafeMemberName(name)) return std::nullopt;
    auto it = files_.find(name);
    if (it == files_.end()) return std::nullopt;
    return it->second;
}

std::vector<std::string> MemoryDataSource::members() const {
    std::vector<std::string> names;
    for (const auto& [name, bytes] : files_) names.push_back(name);
    return names;
}

std::unique_ptr<DataSource> openDataSource(const std::string& path, std::string* error) {
    std::error_code ec;
    if (fs::is_directory(path, ec)) return std::make_unique<DirectoryDataSource>(path);
    if (!fs::exists(path, ec)) {
        *error = path + ": no such file or directory";
        return nullptr;
    }
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive) {
        zip_error_t zerror;
        zip_error_init_with_code(&zerror, code);
        *error = path + ": not a readable data file (" + zip_error_strerror(&zerror) + ")";
        zip_error_fini(&zerror);
        return nullptr;
    }
    return std::make_unique<ZipDataSource>(archive, path);
}

}  // namespace glimmerq
