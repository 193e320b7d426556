#include "runtime/host/demogl_host.h"

#include "runtime/display/message_box.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <cstring>

namespace glimmerq {

namespace {
// The entry names the data file and the script through these settings.
constexpr int kVariableDataFile = 4;
constexpr int kVariableScript = 5;
const char kDefaultDataFile[] = "glimmerQ.dat";
const char kDefaultScript[] = "demoflow";
}  // namespace

std::string DemoGlHost::variable(int id, const char* fallback) const {
    const auto it = variables_.find(id);
    return it != variables_.end() && !it->second.empty() ? it->second : fallback;
}

std::string DemoGlHost::dataFileName() const { return variable(kVariableDataFile, kDefaultDataFile); }
std::string DemoGlHost::scriptName() const { return variable(kVariableScript, kDefaultScript); }

void DemoGlHost::serve(const DataSource* data, DataReads* reads, TextureStore* textures) {
    data_ = data;
    reads_ = reads;
    textures_ = textures;
}

DemoGlHost::SetUpResult DemoGlHost::setUp(size_t index, int width, int height) {
    SetUpResult outcome;
    CEffect* effect = effects_[index].effect;
    if (!effect) return outcome;
    settingUp_ = int(index);
    failedTextures_.clear();
    outcome.result = effect->Setup(width, height);
    settingUp_ = -1;
    outcome.failedTextures = std::move(failedTextures_);
    failedTextures_.clear();
    return outcome;
}

void DemoGlHost::setVariable(int id, bool value) { variables_[id] = value ? "1" : "0"; }
void DemoGlHost::setVariable(int id, int value) { variables_[id] = std::to_string(value); }
void DemoGlHost::setVariable(int id, const char* value) { variables_[id] = value ? value : ""; }

void DemoGlHost::registerEffect(CEffect* effect, const char* name) { effects_.push_back({name ? name : "", effect}); }

void DemoGlHost::loadingBarEnable(int enabled, float width, float height, float x, float y) {
    loading_.barEnabled = enabled != 0;
    loading_.barWidth = width;
    loading_.barHeight = height;
    loading_.barX = x;
    loading_.barY = y;
}

void DemoGlHost::loadingBarAppearance(bool drawBackground, bool blend, unsigned sourceFactor,
                                      unsigned destinationFactor, const float colors[7]) {
    loading_.drawBackground = drawBackground;
    loading_.blend = blend;
    loading_.sourceFactor = sourceFactor;
    loading_.destinationFactor = destinationFactor;
    loading_.opacity = colors[0];
    for (int i = 0; i < 3; ++i) {
        loading_.background[i] = colors[1 + i];
        loading_.bar[i] = colors[4 + i];
    }
}

void DemoGlHost::loadingSplashEnable(const char* image, int fit, float opacity) {
    loading_.splashEnabled = image && *image;
    loading_.splashName = image ? image : "";
    loading_.splashFit = fit;
    loading_.splashOpacity = opacity;
}

int DemoGlHost::appRun(HINSTANCE, const SStartupDat*, const char* title, bool, unsigned char, unsigned char, int) {
    assert(runner_ && "DemoGlHost: setShowRunner before WinMain");
    // The runtime's own effects follow the demo's table, so the table's names keep their places.
    const bool registered = std::any_of(effects_.begin(), effects_.end(),
                                        [this](const RegisteredEffect& e) { return e.effect == &flash_; });
    if (!registered) registerEffect(&flash_, kScreenFlashName);
    return runner_->runShow(title ? title : "glimmerQ");
}

void DemoGlHost::appEnd() {
    if (runner_) runner_->endShow();
}

unsigned char* DemoGlHost::fileLoad(const char* name, size_t* size) {
    if (!data_ || !name) return nullptr;
    if (reads_) reads_->record(settingUp_, name);
    auto bytes = data_->read(name);
    if (!bytes) return nullptr;
    auto* copy = static_cast<unsigned char*>(std::malloc(bytes->size() + 1));
    if (!copy) return nullptr;
    if (!bytes->empty()) std::memcpy(copy, bytes->data(), bytes->size());
    copy[bytes->size()] = 0;
    if (size) *size = bytes->size();
    return copy;
}

void DemoGlHost::fileFree(const unsigned char* data) { std::free(const_cast<unsigned char*>(data)); }

unsigned DemoGlHost::textureLoad(const char* name, const TextureParams& params) {
    if (!textures_ || !name) return 0;
    if (reads_) reads_->record(settingUp_, name);
    const unsigned handle = textures_->load(name, params);
    if (handle == 0 && settingUp_ >= 0) failedTextures_.push_back(name);
    return handle;
}

int DemoGlHost::textureUpload(unsigned handle) { return textures_ ? textures_->upload(handle) : 1; }

void DemoGlHost::textureUnUpload(unsigned handle) {
    if (textures_) textures_->unUpload(handle);
}

int DemoGlHost::messageBox(const char* text, const char* caption, unsigned type) {
    const std::string who = settingUp_ >= 0 ? effects_[size_t(settingUp_)].name + ": " : std::string();
    messages_.report(who + (text ? text : ""));
    if (showBoxes_) showMessageBox(caption ? caption : "", text ? text : "", (type & MB_ICONERROR) != 0);
    return IDOK;
}

}  // namespace glimmerq
