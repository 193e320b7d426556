#include "runtime/edit/script_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace glimmerq {

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool writeAll(int fd, const std::string& text) {
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

}  // namespace

std::optional<ScriptFile> ScriptFile::open(std::string path, std::string* error) {
    ScriptFile file(std::move(path));
    if (!file.reread(error)) return std::nullopt;
    return file;
}

std::optional<std::string> ScriptFile::readDisk(std::string* error) const {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        *error = path_ + ": cannot read (" + std::strerror(errno) + ")";
        return std::nullopt;
    }
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            *error = path_ + ": cannot read (" + std::strerror(errno) + ")";
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        text.append(buffer, size_t(n));
    }
    ::close(fd);
    return text;
}

bool ScriptFile::changedOnDisk() const {
    std::string error;
    const auto disk = readDisk(&error);
    return !disk || *disk != known_;
}

bool ScriptFile::reread(std::string* error) {
    auto disk = readDisk(error);
    if (!disk) return false;
    known_ = std::move(*disk);
    return true;
}

bool ScriptFile::write(const std::string& text, std::string* error) {
    if (changedOnDisk()) {
        *error = path_ + " changed on disk since it was read; nothing written";
        return false;
    }
    struct stat old {};
    const mode_t mode = ::stat(path_.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644;
    std::string temporary = folderOf(path_) + "/." + baseNameOf(path_) + ".glimmerq-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        *error = path_ + ": cannot write beside it (" + std::strerror(errno) + ")";
        return false;
    }
    const bool written = writeAll(fd, text) && ::fchmod(fd, mode) == 0 && ::fsync(fd) == 0;
    const int why = errno;
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path_.c_str()) != 0) {
        *error = path_ + ": cannot write (" + std::strerror(written ? errno : why) + "); the file is as it was";
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(folderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    known_ = text;
    return true;
}

}  // namespace glimmerq
