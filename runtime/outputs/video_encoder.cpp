#include "runtime/outputs/video_encoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

extern char** environ;

namespace fs = std::filesystem;

namespace glimmerq {

namespace {

constexpr int kPipeBytes = 1 << 20;  // Linux's default cap for unprivileged pipes
constexpr const char* kPartSuffix = ".part";

struct VideoFormat {
    const char* extension;  // lower case, with the dot
    const char* muxer;
    std::vector<const char*> videoCodec;
    std::vector<const char*> audioCodec;
    std::vector<const char*> container;
};

// x264's veryfast preset encodes 2 to 3 times faster than its default (medium) on the
// show's frames for files about 10% smaller and 0.7 dB less PSNR at the same CRF: encoding,
// not drawing, is what limits a video run.
const std::vector<VideoFormat>& videoFormats() {
    static const std::vector<VideoFormat> formats = {
        {".mp4", "mp4",
         {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18"},
         {"-c:a", "aac", "-b:a", "192k"},
         {"-movflags", "+faststart"}},
        {".mkv", "matroska",
         {"-c:v", "libx264", "-preset", "veryfast", "-crf", "18"},
         {"-c:a", "libvorbis", "-q:a", "6"},
         {}},
        {".webm", "webm",
         {"-c:v", "libvpx-vp9", "-crf", "31", "-b:v", "0", "-deadline", "good", "-cpu-used", "4", "-row-mt", "1"},
         {"-c:a", "libopus", "-b:a", "160k"},
         {}},
    };
    return formats;
}

// Flips the rows GL gives bottom-up, then converts to 4:2:0 with the HD matrix the file
// is tagged with (untagged, players guess, and guess differently).
const char kVideoFilter[] = "vflip,scale=out_color_matrix=bt709:out_range=tv,format=yuv420p";
const std::vector<const char*> kColourTags = {"-colorspace", "bt709", "-color_primaries", "bt709",
                                              "-color_trc", "bt709", "-color_range", "tv"};

std::string lowerExtension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

const VideoFormat* formatFor(const std::string& path) {
    const std::string ext = lowerExtension(path);
    for (const VideoFormat& f : videoFormats())
        if (ext == f.extension) return &f;
    return nullptr;
}

bool isExecutableFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// As posix_spawnp and the shell search: a name with a slash is taken as it is.
bool programExists(const std::string& program) {
    if (program.find('/') != std::string::npos) return isExecutableFile(program);
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) end = dirs.size();
        const std::string dir = end > begin ? dirs.substr(begin, end - begin) : ".";
        if (isExecutableFile(dir + "/" + program)) return true;
        begin = end + 1;
    }
    return false;
}

std::string missingProgramMessage(const std::string& program) {
    return "--video needs the " + program + " program, which is not installed (Debian: apt install ffmpeg)";
}

VideoProblem checkOutput(const std::string& path, int width, int height, const std::string& program,
                         std::string* error) {
    const std::string prefix = path + ": ";
    if (!formatFor(path)) {
        const std::string ext = lowerExtension(path);
        *error = prefix + (ext.empty() ? std::string("no extension to choose a video format by")
                                       : "unknown video format \"" + ext + "\"") +
                 " (supported: " + supportedVideoExtensions() + ")";
        return VideoProblem::Name;
    }
    if (width <= 0 || height <= 0 || width % 2 != 0 || height % 2 != 0) {
        *error = prefix + "video needs an even width and height, not " + std::to_string(width) + "x" +
                 std::to_string(height);
        return VideoProblem::Size;
    }
    if (!programExists(program)) {
        *error = missingProgramMessage(program);
        return VideoProblem::Program;
    }
    const fs::path parent = fs::path(path).parent_path();
    const std::string dir = parent.empty() ? "." : parent.string();
    struct stat st {};
    if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        *error = prefix + "folder " + dir + " does not exist";
        return VideoProblem::Place;
    }
    if (access(dir.c_str(), W_OK | X_OK) != 0) {
        *error = prefix + "folder " + dir + " is not writable";
        return VideoProblem::Place;
    }
    if (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        *error = prefix + "is a folder";
        return VideoProblem::Place;
    }
    return VideoProblem::None;
}

std::string temporaryDirectory() {
    const char* dir = std::getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

// A new file "DIR/glimmerq-NAME-XXXXXX.SUFFIX", open and closed on exec; -1 on failure.
int createTemporary(const std::string& name, const std::string& suffix, std::string* path) {
    std::string pattern = temporaryDirectory() + "/glimmerq-" + name + "-XXXXXX" + suffix;
    const int fd = mkostemps(pattern.data(), int(suffix.size()), O_CLOEXEC);
    if (fd >= 0) *path = pattern;
    return fd;
}

bool writeAll(int fd, const unsigned char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= size_t(n);
    }
    return true;
}

std::string lastLine(const std::string& file) {
    std::ifstream in(file);
    std::string line, last;
    while (std::getline(in, line)) {
        while (!line.empty() && std::isspace((unsigned char)line.back())) line.pop_back();
        if (!line.empty()) last = line;
    }
    return last;
}

// Blocks SIGPIPE in this thread while writing to the pipe, and swallows the one a write to
// a dead reader raises, so that the write's EPIPE is how we learn of it.
class SigpipeBlocked {
public:
    SigpipeBlocked() {
        sigset_t pending;
        sigpending(&pending);
        alreadyPending_ = sigismember(&pending, SIGPIPE) == 1;
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, &previous_);
    }
    ~SigpipeBlocked() { pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }
    void swallowRaised() {
        if (alreadyPending_) return;
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        const timespec now{0, 0};
        while (sigtimedwait(&pipe, nullptr, &now) < 0 && errno == EINTR) {
        }
    }

private:
    sigset_t previous_;
    bool alreadyPending_ = false;
};

}  // namespace

std::string supportedVideoExtensions() {
    std::string list;
    for (const VideoFormat& f : videoFormats()) list += (list.empty() ? "" : ", ") + std::string(f.extension);
    return list;
}

bool checkVideoOutput(const std::string& path, int width, int height, std::string* error, VideoProblem* problem) {
    const VideoProblem found = checkOutput(path, width, height, "ffmpeg", error);
    if (problem) *problem = found;
    return found == VideoProblem::None;
}

std::unique_ptr<VideoEncoder> VideoEncoder::start(const VideoSettings& settings, std::string* error) {
    assert(settings.fps > 0 && "VideoSettings::fps must be positive");
    assert(settings.soundtrackOffsetSeconds >= 0 && "the soundtrack cannot start after the video");
    if (checkOutput(settings.path, settings.width, settings.height, settings.program, error) != VideoProblem::None)
        return nullptr;
    const VideoFormat& format = *formatFor(settings.path);

    std::unique_ptr<VideoEncoder> encoder(new VideoEncoder());
    VideoEncoder& e = *encoder;
    // Everything but the soundtrack's bytes, which only go to the temporary file.
    e.settings_.path = settings.path;
    e.settings_.width = settings.width;
    e.settings_.height = settings.height;
    e.settings_.fps = settings.fps;
    e.settings_.soundtrackOffsetSeconds = settings.soundtrackOffsetSeconds;
    e.settings_.program = settings.program;
    e.partPath_ = settings.path + kPartSuffix;
    const std::string prefix = settings.path + ": ";

    const int logFd = createTemporary("ffmpeg", ".log", &e.logPath_);
    if (logFd < 0) {
        *error = prefix + "cannot create a temporary file in " + temporaryDirectory() + ": " + std::strerror(errno);
        e.done_ = true;
        return nullptr;
    }
    if (!settings.soundtrack.empty()) {
        const int fd = createTemporary("soundtrack", ".ogg", &e.soundtrackPath_);
        const bool written = fd >= 0 && writeAll(fd, settings.soundtrack.data(), settings.soundtrack.size());
        const int savedErrno = errno;
        if (fd >= 0) close(fd);
        if (!written) {
            *error = prefix + "cannot write the soundtrack to " + temporaryDirectory() + ": " + std::strerror(savedErrno);
            close(logFd);
            e.removeTemporaries();
            e.done_ = true;
            return nullptr;
        }
    }

    char size[32], fps[16], offset[32];
    std::snprintf(size, sizeof size, "%dx%d", settings.width, settings.height);
    std::snprintf(fps, sizeof fps, "%d", settings.fps);
    std::snprintf(offset, sizeof offset, "%.6f", settings.soundtrackOffsetSeconds);
    const bool audio = !e.soundtrackPath_.empty();
    std::vector<std::string> args = {settings.program, "-hide_banner", "-nostdin", "-nostats", "-loglevel", "error",
                                     "-y", "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size", size,
                                     "-framerate", fps, "-i", "pipe:0"};
    if (audio) args.insert(args.end(), {"-ss", offset, "-i", e.soundtrackPath_, "-map", "0:v:0", "-map", "1:a:0"});
    args.insert(args.end(), {"-vf", kVideoFilter});
    args.insert(args.end(), kColourTags.begin(), kColourTags.end());
    args.insert(args.end(), format.videoCodec.begin(), format.videoCodec.end());
    if (audio) {
        // Silence after the track's end, so -shortest cuts at the last frame either way.
        args.insert(args.end(), {"-af", "apad"});
        args.insert(args.end(), format.audioCodec.begin(), format.audioCodec.end());
        args.push_back("-shortest");
    }
    args.insert(args.end(), format.container.begin(), format.container.end());
    args.insert(args.end(), {"-f", format.muxer, e.partPath_});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        *error = prefix + "cannot make a pipe to ffmpeg: " + std::strerror(errno);
        close(logFd);
        e.removeTemporaries();
        e.done_ = true;
        return nullptr;
    }
    fcntl(fds[1], F_SETPIPE_SZ, kPipeBytes);  // fewer, larger hand-overs; the default works too

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, logFd, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group: the terminal's Ctrl+C goes to us, not to ffmpeg mid-write.
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGQUIT}) sigaddset(&defaults, number);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    const int spawned = posix_spawnp(&e.pid_, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    close(logFd);
    if (spawned != 0) {
        close(fds[1]);
        *error = spawned == ENOENT ? missingProgramMessage(settings.program)
                                   : prefix + "cannot start " + settings.program + ": " + std::strerror(spawned);
        e.pid_ = -1;
        e.removeTemporaries();
        e.done_ = true;
        return nullptr;
    }
    e.input_ = fds[1];
    return encoder;
}

VideoEncoder::~VideoEncoder() { abort(); }

bool VideoEncoder::writeFrame(const unsigned char* rgbaBottomUp, std::string* error) {
    if (done_) {
        *error = failure_.empty() ? settings_.path + ": the video is already closed" : failure_;
        return false;
    }
    const size_t bytes = size_t(settings_.width) * size_t(settings_.height) * 4;
    bool written;
    int writeErrno;
    {
        SigpipeBlocked blocked;
        written = writeAll(input_, rgbaBottomUp, bytes);
        writeErrno = errno;
        if (!written && writeErrno == EPIPE) blocked.swallowRaised();
    }
    if (written) {
        ++framesWritten_;
        return true;
    }
    close(input_);
    input_ = -1;
    const std::string status = waitForExit();
    failure_ = failureMessage(writeErrno == EPIPE ? "ffmpeg stopped (" + (status.empty() ? "exit status 0" : status) + ")"
                                                  : std::string("writing to ffmpeg failed: ") + std::strerror(writeErrno));
    unlink(partPath_.c_str());
    removeTemporaries();
    done_ = true;
    *error = failure_;
    return false;
}

bool VideoEncoder::finish(std::string* error) {
    if (done_) {
        *error = failure_.empty() ? settings_.path + ": the video is already closed" : failure_;
        return false;
    }
    close(input_);
    input_ = -1;
    const std::string status = waitForExit();
    done_ = true;
    if (framesWritten_ == 0) {
        // ffmpeg would leave a file without a single stream in it.
        failure_ = settings_.path + ": no frames to encode";
    } else if (!status.empty()) {
        failure_ = failureMessage("ffmpeg failed (" + status + ")");
    } else if (std::rename(partPath_.c_str(), settings_.path.c_str()) != 0) {
        failure_ = settings_.path + ": cannot rename " + partPath_ + ": " + std::strerror(errno);
    }
    removeTemporaries();
    if (failure_.empty()) return true;
    unlink(partPath_.c_str());
    *error = failure_;
    return false;
}

void VideoEncoder::abort() {
    if (done_) return;
    done_ = true;
    if (pid_ > 0) kill(-pid_, SIGKILL);  // the whole group: ffmpeg leads its own
    if (input_ >= 0) close(input_);
    input_ = -1;
    waitForExit();
    unlink(partPath_.c_str());
    removeTemporaries();
}

std::string VideoEncoder::waitForExit() {
    if (pid_ <= 0) return "";
    int status = 0;
    pid_t reaped;
    do {
        reaped = waitpid(pid_, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    pid_ = -1;
    if (reaped < 0) return std::string("waiting for it failed: ") + std::strerror(errno);
    if (WIFEXITED(status)) return WEXITSTATUS(status) == 0 ? "" : "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return "killed by signal " + std::to_string(WTERMSIG(status));
    return "stopped abnormally";
}

// ffmpeg names its inputs and outputs by path; ours are temporary names the user never gave.
std::string VideoEncoder::failureMessage(const std::string& what) {
    std::string said = lastLine(logPath_);
    const std::pair<std::string, std::string> renames[] = {{soundtrackPath_, "the soundtrack"},
                                                           {partPath_, settings_.path}};
    for (const auto& [from, to] : renames) {
        if (from.empty()) continue;
        for (size_t at = said.find(from); at != std::string::npos; at = said.find(from, at + to.size()))
            said.replace(at, from.size(), to);
    }
    return settings_.path + ": " + what + (said.empty() ? "" : ": " + said);
}

void VideoEncoder::removeTemporaries() {
    if (!logPath_.empty()) unlink(logPath_.c_str());
    if (!soundtrackPath_.empty()) unlink(soundtrackPath_.c_str());
    logPath_.clear();
    soundtrackPath_.clear();
}

}  // namespace glimmerq
