// script_file.h: the script file on disk, written safely and never over another editor's save.
//
//   auto file = ScriptFile::open("mydata/demoflow", &error);    // remembers what it read
//   if (file->changedOnDisk()) ...                              // someone else saved it
//   file->write(newText, &error);                               // temp file, fsync, rename
//
// A write goes to a temporary file in the same folder, is flushed to the disk, takes the
// old file's permissions and is renamed over it, so the file is at all times either the old
// text or the new one. ScriptFile remembers the bytes it last read or wrote (a script is a
// few kilobytes: comparing them is cheaper to trust than a modification time, which a quick
// second save within the file system's resolution leaves unchanged): write() refuses when the file on disk no longer holds them, leaving the file as
// the other editor left it; the caller then reads it again (reread) and decides (the editor
// merges, script_editor.h). A watcher tells the program's own write from another's by
// comparing the file with known().
// Not here: zip archives (they never change), what the text means.
#pragma once

#include <optional>
#include <string>

namespace glimmerq {

class ScriptFile {
public:
    // nullopt with "PATH: why" when it cannot be read.
    static std::optional<ScriptFile> open(std::string path, std::string* error);

    const std::string& path() const { return path_; }
    // The bytes last read or written.
    const std::string& known() const { return known_; }

    // True when the file's bytes differ from known() (or it cannot be read any more).
    bool changedOnDisk() const;
    // Reads the file again; known() becomes what it holds. False with "PATH: why".
    bool reread(std::string* error);
    // Replaces the file with text if it still holds known(); false with "PATH: why" (and the
    // file untouched) when it changed on disk or cannot be written.
    bool write(const std::string& text, std::string* error);

private:
    explicit ScriptFile(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> readDisk(std::string* error) const;

    std::string path_;
    std::string known_;
};

}  // namespace glimmerq
