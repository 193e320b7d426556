#include "tests/support/test_host.h"

#include "runtime/outputs/png_writer.h"

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

namespace glimmerq::testing {

TestHost::TestHost()
    : textures_(std::make_unique<TextureStore>(data, [this](const std::string& m) { errors.push_back(m); })) {
    previous_ = installHost(this);
}

TestHost::~TestHost() {
    textures_.reset();
    installHost(previous_);
}

void TestHost::useDirectory(const std::string& dir) {
    std::string error;
    directory_ = openDataSource(dir, &error);
    textures_ = std::make_unique<TextureStore>(source(), [this](const std::string& m) { errors.push_back(m); });
}

unsigned char* TestHost::fileLoad(const char* name, size_t* size) {
    auto bytes = source().read(name);
    if (!bytes) return nullptr;
    auto* copy = static_cast<unsigned char*>(std::malloc(bytes->size() + 1));
    if (!bytes->empty()) std::memcpy(copy, bytes->data(), bytes->size());
    copy[bytes->size()] = 0;
    if (size) *size = bytes->size();
    ++openFiles;
    return copy;
}

void TestHost::fileFree(const unsigned char* data) {
    --openFiles;
    std::free(const_cast<unsigned char*>(data));
}

unsigned TestHost::textureLoad(const char* name, const TextureParams& params) {
    textureRequests.push_back(name);
    textureParams.push_back(params);
    return textures_->load(name, params);
}

int TestHost::textureUpload(unsigned handle) {
    uploads.push_back(handle);
    return textures_->upload(handle);
}

void TestHost::textureUnUpload(unsigned handle) {
    unUploads.push_back(handle);
    textures_->unUpload(handle);
}

int TestHost::messageBox(const char* text, const char* caption, unsigned) {
    messages.push_back(std::string(caption) + ": " + text);
    return IDOK;
}

GlFixture::GlFixture(int width, int height) : width_(width), height_(height) {
    context_ = HeadlessGlContext::create(&error_);
    if (!context_) return;
    auto target = std::make_unique<RenderTarget>();
    if (!target->create(width, height, &error_)) return;
    target_ = std::move(target);
    // Start from a known picture: black, depth 1.
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

GlFixture::~GlFixture() {
    target_.reset();
    context_.reset();
}

std::array<unsigned char, 4> GlFixture::pixel(int x, int y) const {
    std::array<unsigned char, 4> rgba{};
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    return rgba;
}

std::vector<unsigned char> GlFixture::picture() const {
    std::vector<unsigned char> rgba;
    target_->readPixels(&rgba);
    return rgba;
}

bool GlFixture::savePng(const std::string& path) const {
    std::string error;
    return writePng(path, width_, height_, picture(), &error);
}

unsigned GlFixture::glError() const {
    GLenum first = glGetError();
    while (glGetError() != GL_NO_ERROR) {
    }
    return first;
}

}  // namespace glimmerq::testing
