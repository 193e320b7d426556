// blur_floor: how close each radial-blur effect comes to the cost of the pixels it must produce.
//
//   blur_floor [--pairs N]
//
// For CBLUR, CBLURV, CBLUR2, CBLUR2V and CLAND, at 640x480 and 1920x1080 on a headless context,
// measures the median time of one DrawFrame (up to glFinish) and of its "fill floor": the same
// frame without the surfaces, i.e. a colour+depth clear, the 128x128 copy into a luminance
// texture and the same number of blended, textured layers covering the effect's viewport (the
// whole window, or its quarter for the V variants). Effect frames and floor frames alternate one
// by one (N pairs, default 40), so that load from other processes hits both alike. Prints one
// row per effect and size with both medians and their ratio.
//
// Not a test: timings depend on the machine and its load. Run it on a quiet machine, twice.
#include "effects/blur/blur.h"
#include "effects/blur/blur2.h"
#include "effects/blur/land.h"
#include "runtime/display/gl_context.h"
#include "runtime/display/render_target.h"

#include <GL/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWarmUpFrames = 3;

struct Size {
    int width, height;
};

struct Subject {
    const char* name;
    std::function<std::unique_ptr<CRadialBlur>()> make;
};

double secondsNow() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double>(Clock::now().time_since_epoch()).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
}

// The pixels a blur frame produces anyway: clear, corner copy, the layers over the viewport.
class FillFloor {
public:
    FillFloor(const CRadialBlur& effect) : effect_(effect) {
        glGenTextures(1, &texture_);
        glBindTexture(GL_TEXTURE_2D, texture_);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    ~FillFloor() { glDeleteTextures(1, &texture_); }

    void draw() const {
        glBindTexture(GL_TEXTURE_2D, texture_);
        glCopyTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, 0, 0, kBlurTextureSize, kBlurTextureSize, 0);
        glClearColor(0.0f, 0.0f, 0.0f, effect_.values.captureClearAlpha);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        effect_.ApplyViewport();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glBegin(GL_QUADS);
        ForEachBlurLayer(effect_.values.blurLayers, effect_.values.blurStep, effect_.values.blurStartAlpha, 1.0,
                         1.0, [](const SBlurLayer& layer) {
                             glColor4f(1.0f, 1.0f, 1.0f, layer.alpha);
                             for (int corner = 0; corner < 4; ++corner) {
                                 glTexCoord2f(layer.texCoords[corner][0], layer.texCoords[corner][1]);
                                 glVertex2d(layer.vertices[corner][0], layer.vertices[corner][1]);
                             }
                         });
        glEnd();
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, 0);
    }

private:
    const CRadialBlur& effect_;
    unsigned texture_ = 0;
};

// Seconds for one call of draw, finished on the GL side.
double timeOne(const std::function<void()>& draw) {
    glFinish();
    const double start = secondsNow();
    draw();
    glFinish();
    return secondsNow() - start;
}

bool measure(const Subject& subject, Size size, int pairs) {
    std::string error;
    glimmerq::RenderTarget target;
    if (!target.create(size.width, size.height, &error)) {
        std::fprintf(stderr, "blur_floor: %s\n", error.c_str());
        return false;
    }
    std::unique_ptr<CRadialBlur> effect = subject.make();
    effect->Setup(size.width, size.height);
    FillFloor floor(*effect);
    LONG elapsed = 0;
    auto frame = [&] {
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        effect->DrawFrame(elapsed);
        elapsed += 20;
    };
    for (int i = 0; i < kWarmUpFrames; ++i) {
        frame();
        floor.draw();
    }
    glFinish();

    std::vector<double> effectTimes, floorTimes;
    for (int i = 0; i < pairs; ++i) {
        effectTimes.push_back(timeOne(frame));
        floorTimes.push_back(timeOne([&] { floor.draw(); }));
    }
    const double effectMs = median(effectTimes) * 1000.0;
    const double floorMs = median(floorTimes) * 1000.0;
    std::printf("%-8s %4dx%-4d  %8.2f ms  %8.2f ms  %6.2f\n", subject.name, size.width, size.height, effectMs,
                floorMs, effectMs / floorMs);
    std::fflush(stdout);
    return glGetError() == GL_NO_ERROR;
}

template <class Effect>
Subject subject(const char* name) {
    return {name, [] { return std::unique_ptr<CRadialBlur>(new Effect); }};
}

}  // namespace

int main(int argc, char** argv) {
    int pairs = 40;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--pairs") == 0) pairs = std::max(1, std::atoi(argv[i + 1]));
    }

    std::string error;
    auto context = glimmerq::HeadlessGlContext::create(&error);
    if (!context) {
        std::fprintf(stderr, "blur_floor: %s\n", error.c_str());
        return 1;
    }
    std::printf("%s / %s; medians of %d alternating frames each\n",
                reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)), pairs);
    std::printf("%-8s %-9s  %11s  %11s  %6s\n", "effect", "size", "frame", "floor", "ratio");

    const Subject subjects[] = {
        subject<CBlur>("CBLUR"),   subject<CBlurV>("CBLURV"), subject<CBlur2>("CBLUR2"),
        subject<CBlur2V>("CBLUR2V"), subject<CLand>("CLAND"),
    };
    const Size sizes[] = {{640, 480}, {1920, 1080}};
    bool ok = true;
    for (const Size& size : sizes)
        for (const Subject& s : subjects) ok = measure(s, size, pairs) && ok;
    return ok ? 0 : 1;
}
