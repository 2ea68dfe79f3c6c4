// The offscreen screen of the scene tests and its read-back.
#include "tests/scenes/scene_screen.h"

#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/render_window.h"
#include "app/renderer_setup.h"
#include "platform/platform.h"
#include "platform/recording/recording_backend.h"
#include "timeline/demo_clock.h"
#include "timeline/scene_sequencer.h"

namespace {

std::string Describe(Rgb c) {
    char text[32];
    snprintf(text, sizeof text, "rgb(%d,%d,%d)", c.r, c.g, c.b);
    return text;
}

bool Near(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

}  // namespace

Rgb Screen::At(int x, int y) const {
    const uint8_t* p = &rgba[(static_cast<size_t>(y) * 640 + static_cast<size_t>(x)) * 4];
    return {p[0], p[1], p[2]};
}

std::string Screen::PictureAt(int x, int y) const {
    const Rgb c = At(x, y);
    if (Near(c, Rgb{0, 0, 0})) return "black";
    for (int i = 0; i < 29; ++i)
        if (Near(c, TestColour(i))) return kCatalogue[i].file;
    return Describe(c);
}

std::string Screen::Filling() const {
    const std::string centre = PictureAt(320, 240);
    // The edges are where a wrong still size or a dimmed corner would show first.
    const int probes[][2] = {{0, 0}, {639, 0}, {0, 479}, {639, 479}, {320, 0}, {320, 479},
                             {0, 240}, {639, 240}, {160, 120}, {480, 360}};
    for (const auto& p : probes) {
        const std::string here = PictureAt(p[0], p[1]);
        if (here != centre)
            return centre + " at the centre but " + here + " at (" + std::to_string(p[0]) +
                   "," + std::to_string(p[1]) + ")";
    }
    return centre;
}

bool Screen::AllBlack() const {
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] || rgba[i + 1] || rgba[i + 2]) return false;
    return true;
}

void SceneScreenTest::SetUp() {
    StartScreen();
    if (HasFatalFailure()) return;
    ASSERT_EQ(InitRenderer(), 1);
    UploadTestPictures();
}

void SceneScreenTest::StartScreen() {
    ASSERT_TRUE(SysCreateOffscreenGL(kWidth, kHeight)) << SysLastError();

    SysUseRecordingBackend();
    Recorder().frequency = 1 << 20;  // exact ticks: every sample is the seconds set
    Recorder().counterScript = [this] {
        return static_cast<int64_t>(std::llround(seconds * (1 << 20)));
    };
    seconds = 0.0;
    gClock = DemoClock();
    ResetSceneState();

    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    oldDirectory_ = cwd;
    char pattern[] = "/tmp/vz-scenes-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    emptyDirectory_ = pattern;
    ASSERT_EQ(chdir(pattern), 0);

    ResizeViewport(kWidth, kHeight);
}

void SceneScreenTest::TearDown() {
    ReleaseTestPictures();
    SysUseBackend(nullptr);
    SysDestroyOffscreenGL();
    if (!oldDirectory_.empty()) {
        EXPECT_EQ(chdir(oldDirectory_.c_str()), 0);
    }
    if (!emptyDirectory_.empty()) {
        const std::string data = emptyDirectory_ + "/data";
        for (const CatalogueEntry& entry : kCatalogue) unlink((data + "/" + (entry.file + 5)).c_str());
        rmdir(data.c_str());
        rmdir(emptyDirectory_.c_str());
    }
}

bool SceneScreenTest::Frame(double t) {
    seconds = t;
    return RunSceneChain();
}

void SceneScreenTest::ShowAt(double t) {
    ResetSceneState();
    for (double end : {26.0, 35.5, 39.0, 68.0})
        if (end < t) Frame(end);
    Frame(t);
}

Screen SceneScreenTest::Read() {
    Screen screen;
    screen.rgba.resize(static_cast<size_t>(kWidth) * kHeight * 4);
    glFinish();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, screen.rgba.data());
    return screen;
}

void SceneScreenTest::UploadTexels(uint32_t name, int width, int height,
                                   const std::vector<Rgb>& texels) {
    std::vector<uint8_t> rgba;
    for (const Rgb& texel : texels) rgba.insert(rgba.end(), {texel.r, texel.g, texel.b, 255});
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    glBindTexture(GL_TEXTURE_2D, 0);
}
