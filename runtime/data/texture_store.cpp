#include "runtime/data/texture_store.h"

#include "runtime/gl/gl_state_guard.h"

#include <GL/gl.h>

namespace glimmerq {

// What uploading and releasing a texture disturbs: the binding it draws through and the
// unpack modes its pixels are read with.
constexpr unsigned kTextureWorkState = GlStateGuard::kTextureBinding | GlStateGuard::kPixelStore;

TextureStore::TextureStore(const DataSource& data, ErrorSink reportError)
    : data_(data), reportError_(std::move(reportError)) {}

TextureStore::~TextureStore() {
    for (const Entry& entry : entries_)
        if (entry.handle != 0) glDeleteTextures(1, &entry.handle);
}

bool TextureStore::decode(const std::string& name, Image* image, std::string* error) const {
    const auto bytes = data_.read(name);
    if (!bytes) {
        *error = name + ": not found";
        return false;
    }
    std::string why;
    if (!decodeJpeg(bytes->data(), bytes->size(), image, &why)) {
        *error = name + ": " + why;
        return false;
    }
    return true;
}

unsigned TextureStore::load(const std::string& name, const TextureParams& params) {
    for (const Entry& entry : entries_)
        if (entry.name == name && entry.params == params) return entry.handle;

    Entry entry;
    entry.name = name;
    entry.params = params;
    std::string error;
    if (decode(name, &entry.image, &error)) {
        glGenTextures(1, &entry.handle);
    } else if (reportError_) {
        reportError_(error);
    }
    // A failure is remembered too, so asking again neither re-reads nor re-reports it.
    entries_.push_back(std::move(entry));
    return entries_.back().handle;
}

TextureStore::Entry* TextureStore::find(unsigned handle) {
    if (handle == 0) return nullptr;
    for (Entry& entry : entries_)
        if (entry.handle == handle) return &entry;
    return nullptr;
}

const TextureStore::Entry* TextureStore::find(unsigned handle) const {
    return const_cast<TextureStore*>(this)->find(handle);
}

int TextureStore::upload(unsigned handle) {
    Entry* entry = find(handle);
    if (!entry) return 1;
    // Already resident for another run: its pixels are there and stay until the last release.
    if (entry->uploads++ > 0) return 0;
    GlStateGuard guard(kTextureWorkState);
    const TextureParams& p = entry->params;
    glBindTexture(GL_TEXTURE_2D, handle);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, p.wrapS);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, p.wrapT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, p.minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, p.magFilter);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, p.internalFormat, entry->image.width, entry->image.height, 0,
                 GL_RGB, GL_UNSIGNED_BYTE, entry->image.rgb.data());
    return 0;
}

void TextureStore::unUpload(unsigned handle) {
    Entry* entry = find(handle);
    if (!entry || entry->uploads == 0) return;
    // Another run still draws with it.
    if (--entry->uploads > 0) return;
    GlStateGuard guard(kTextureWorkState);
    glBindTexture(GL_TEXTURE_2D, handle);
    // A 0x0 image releases the storage; the name stays allocated for the next upload.
    glTexImage2D(GL_TEXTURE_2D, 0, entry->params.internalFormat, 0, 0, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, nullptr);
}

void TextureStore::reload(const std::string& name) {
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->name != name) {
            ++it;
        } else if (it->handle == 0) {
            it = entries_.erase(it);
        } else {
            Image image;
            std::string error;
            if (decode(name, &image, &error))
                it->image = std::move(image);
            else if (reportError_)
                reportError_(error);
            ++it;
        }
    }
}

bool TextureStore::isResident(unsigned handle) const {
    const Entry* entry = find(handle);
    return entry && entry->uploads > 0;
}

}  // namespace glimmerq
