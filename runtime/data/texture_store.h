// texture_store.h: the host's textures, keyed by file name and parameters.
//
//   TextureStore store(dataSource, reportError);
//   unsigned handle = store.load("voxe.jpg", params);  // decoded now; 0 on failure
//   store.upload(handle);                              // resident under GL name `handle`
//   store.unUpload(handle);                            // the last one frees the storage
//
// A handle is the GL texture name itself, so effects bind it directly. Loading the same
// name with the same parameters again returns the same handle and decodes nothing, so
// effects that ask again before every upload leak nothing. Because effects share handles
// (CTUNNEL and CTUNNELV run at once on one texture), uploads are counted per handle: the
// texture stays resident until every upload has been un-uploaded, and an un-upload with
// none outstanding does nothing. The name stays valid and the decoded pixels stay in
// memory for later uploads. Needs a current GL context for load (glGenTextures), upload
// and unUpload; each of them leaves the texture binding and unpack alignment as found.
#pragma once

#include "runtime/data/data_source.h"
#include "runtime/data/jpeg_image.h"
#include "runtime/data/texture_params.h"

#include <functional>
#include <string>
#include <vector>

namespace glimmerq {

class TextureStore {
public:
    using ErrorSink = std::function<void(const std::string& message)>;

    TextureStore(const DataSource& data, ErrorSink reportError);
    ~TextureStore();

    unsigned load(const std::string& name, const TextureParams& params);
    int upload(unsigned handle);
    void unUpload(unsigned handle);
    bool isResident(unsigned handle) const;
    // The file changed (a reloaded data directory): its textures are decoded again under
    // their handles, for their next upload, and a failure to load it is forgotten so the next
    // load tries again. A new version that fails to decode is reported and the old pixels stay.
    void reload(const std::string& name);

    // Reads a JPEG from the data source without making a GL texture (the loading screen
    // and tools use it). False with a message naming the file on failure.
    bool decode(const std::string& name, Image* image, std::string* error) const;

    TextureStore(const TextureStore&) = delete;
    TextureStore& operator=(const TextureStore&) = delete;

private:
    struct Entry {
        std::string name;
        TextureParams params;
        unsigned handle = 0;  // 0 when the image could not be loaded
        Image image;
        int uploads = 0;  // uploads not yet un-uploaded; resident while above 0
    };
    Entry* find(unsigned handle);
    const Entry* find(unsigned handle) const;

    const DataSource& data_;
    ErrorSink reportError_;
    std::vector<Entry> entries_;
};

}  // namespace glimmerq
