// Arbitrary bytes as a MilkShape model, read through the data-file layer: Load returns true
// with every index in range, or false with the model empty; the file's data is always
// released, nothing is read past its end and nothing leaks.
#include "model/model.h"
#include "runtime/host/host.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Serves the fuzzer's bytes as the one file there is; textures always fail to load (no GL).
class FuzzHost : public glimmerq::Host {
public:
    const uint8_t* input = nullptr;
    size_t inputSize = 0;
    int openFiles = 0;

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
    // Exactly the input, plus the trailing zero byte the host promises (not counted).
    unsigned char* fileLoad(const char*, size_t* size) override {
        auto* copy = static_cast<unsigned char*>(std::malloc(inputSize + 1));
        if (inputSize) std::memcpy(copy, input, inputSize);
        copy[inputSize] = 0;
        if (size) *size = inputSize;
        ++openFiles;
        return copy;
    }
    void fileFree(const unsigned char* data) override {
        --openFiles;
        std::free(const_cast<unsigned char*>(data));
    }
    unsigned textureLoad(const char* name, const glimmerq::TextureParams&) override {
        // The requested name must be a string inside the model's texture name.
        if (std::strlen(name) > 126) __builtin_trap();
        return 0;
    }
    int textureUpload(unsigned) override { return 0; }
    void textureUnUpload(unsigned) override {}
    int messageBox(const char*, const char*, unsigned) override { return 1; }
};

void checkConsistent(const CModel& m) {
    for (int i = 0; i < m.numTriangles; ++i)
        for (int index : m.triangles[i].vertexIndices)
            if (index < 0 || index >= m.numVertices) __builtin_trap();
    for (int g = 0; g < m.numGroups; ++g) {
        const SGroup& group = m.groups[g];
        if (group.materialIndex >= m.numMaterials) __builtin_trap();
        for (int k = 0; k < group.numTriangles; ++k)
            if (group.triangleIndices[k] < 0 || group.triangleIndices[k] >= m.numTriangles) __builtin_trap();
    }
    for (int i = 0; i < m.numMaterials; ++i) {
        const size_t length = std::strlen(m.materials[i].textureName);
        if (length == 1 || length > 128 || (length == 0 && m.materials[i].texture != 0)) __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzHost host;
    host.input = data;
    host.inputSize = size;
    glimmerq::Host* previous = glimmerq::installHost(&host);
    {
        CModel model;
        if (model.Load("fuzz.ms3d")) {
            checkConsistent(model);
            model.LoadTextures();
        } else if (model.numVertices || model.numTriangles || model.numGroups || model.numMaterials ||
                   model.vertices || model.triangles || model.groups || model.materials) {
            __builtin_trap();
        }
    }
    if (host.openFiles != 0) __builtin_trap();
    glimmerq::installHost(previous);
    return 0;
}
