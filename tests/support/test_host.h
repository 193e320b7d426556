// test_host.h: a Host for driving effects and the model in tests.
//
//   GlFixture gl(640, 480);                 // headless context + bound render target
//   TestHost host;                          // installed as the DEMOGL_ host while alive
//   host.data.put("block.ms3d", bytes);     // or host.useDirectory(GLIMMERQ_DATA_DIR)
//   effect.Setup(640, 480);
//   gl.pixel(320, 240);                     // RGBA at (x, y), y counted from the bottom
//
// Files come from memory or a directory, textures from a real TextureStore, and every
// message box, upload and texture request is recorded.
#pragma once

#include "runtime/data/data_source.h"
#include "runtime/display/gl_context.h"
#include "runtime/host/host.h"
#include "runtime/display/render_target.h"
#include "runtime/data/texture_store.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace glimmerq::testing {

class TestHost : public Host {
public:
    TestHost();
    ~TestHost() override;

    // Reads files from a directory instead of `data` (e.g. the build's staged data file).
    void useDirectory(const std::string& dir);

    MemoryDataSource data;
    std::vector<std::string> messages;          // "CAPTION: TEXT"
    std::vector<std::string> textureRequests;   // names passed to DEMOGL_TextureLoad
    std::vector<TextureParams> textureParams;
    std::vector<unsigned> uploads;
    std::vector<unsigned> unUploads;
    std::vector<std::string> errors;            // texture store reports
    int openFiles = 0;                          // FileLoad results not yet freed
    TextureStore& textures() { return *textures_; }

    void setVariable(int, bool) override {}
    void setVariable(int, int) override {}
    void setVariable(int, const char*) override {}
    void registerEffect(CEffect*, const char*) override {}
    void loadingBarEnable(int, float, float, float, float) override {}
    void loadingBarAppearance(bool, bool, unsigned, unsigned, const float*) override {}
    void loadingSplashEnable(const char*, int, float) override {}
    int appRun(HINSTANCE, const SStartupDat*, const char*, bool, unsigned char, unsigned char, int) override {
        return 0;
    }
    void appEnd() override {}
    unsigned char* fileLoad(const char* name, size_t* size) override;
    void fileFree(const unsigned char* data) override;
    unsigned textureLoad(const char* name, const TextureParams& params) override;
    int textureUpload(unsigned handle) override;
    void textureUnUpload(unsigned handle) override;
    int messageBox(const char* text, const char* caption, unsigned type) override;

private:
    const DataSource& source() const {
        if (directory_) return *directory_;
        return data;
    }
    std::unique_ptr<DataSource> directory_;
    std::unique_ptr<TextureStore> textures_;
    Host* previous_ = nullptr;
};

// A headless GL context with a bound RGBA8 + depth render target of the given size.
// GL state is otherwise GL's initial state.
class GlFixture {
public:
    GlFixture(int width, int height);
    ~GlFixture();

    bool ok() const { return target_ != nullptr; }
    const std::string& error() const { return error_; }
    int width() const { return width_; }
    int height() const { return height_; }
    const RenderTarget& target() const { return *target_; }

    // RGBA at window coordinates (x, y), y from the bottom row, as GL reads it.
    std::array<unsigned char, 4> pixel(int x, int y) const;
    // The whole picture, top row first (as written to PNG).
    std::vector<unsigned char> picture() const;
    // Writes the picture to a PNG (for looking at while developing).
    bool savePng(const std::string& path) const;
    // glGetError, drained: the first error seen, GL_NO_ERROR when none.
    unsigned glError() const;

private:
    int width_, height_;
    std::string error_;
    std::unique_ptr<HeadlessGlContext> context_;
    std::unique_ptr<RenderTarget> target_;
};

}  // namespace glimmerq::testing
