// The program's spine run on the recording backend: the order of opening, the music, the
// frame loop's decisions, and the teardown, with a real offscreen GL context current so that
// the texture frees can be seen.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/program_main.h"
#include "app/render_window.h"
#include "app/renderer_setup.h"
#include "platform/recording/recording_backend.h"
#include "timeline/demo_clock.h"
#include "timeline/scene_sequencer.h"

namespace {

const char kTitle[] = "Voruzavur Kestrafen Vellmarsh ;)";

std::vector<std::string> Join(std::initializer_list<std::vector<std::string>> parts) {
    std::vector<std::string> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Opening after the window exists: the same in both modes.
const std::vector<std::string> kContextAndShow = {
    "GetDC",
    "ChoosePixelFormat 0x25 type 0 colour 32 alpha 0 accum 0 depth 16 stencil 0",
    "SetPixelFormat 1",
    "CreateContext",
    "MakeCurrent",
    "ShowWindow 5",
    "SetForegroundWindow",
    "SetFocus",
};

const std::vector<std::string> kOpenFullscreen = Join({
    {"RegisterWindowClass OpenGL 0x23", "ChangeDisplayMode 640x480x32 0x4", "ShowCursor 0",
     "AdjustWindowRect 640x480 0x80000000 0x40000",
     std::string("CreateWindow 0x40000 OpenGL ") + kTitle + "|0x86000000 0,0 640x480"},
    kContextAndShow,
});

const std::vector<std::string> kMusic = {
    "SoundInit 44000 64 0",
    "SoundStreamOpen data/Vellmarsh.mp3 0x2000 0 0",
    "SoundStreamPlay 0 stream",
};

const std::vector<std::string> kTeardownFullscreen = {
    "SoundStreamStop stream", "SoundStreamClose stream", "SoundClose",
    "ChangeDisplayMode restore", "ShowCursor 1", "MakeCurrent release", "DeleteContext",
    "ReleaseDC", "DestroyWindow", "UnregisterWindowClass OpenGL",
};

// The calls that are not the frame loop's own traffic.
std::vector<std::string> WithoutLoopTraffic(const std::vector<std::string>& calls) {
    std::vector<std::string> out;
    for (const auto& c : calls)
        if (c.rfind("PeekMessage", 0) != 0 && c != "TranslateMessage" &&
            c.rfind("DispatchMessage", 0) != 0 && c != "SwapBuffers" &&
            c.rfind("PostQuitMessage", 0) != 0)
            out.push_back(c);
    return out;
}

class FrameLoopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(SysCreateOffscreenGL(64, 64)) << SysLastError(); }
    static void TearDownTestSuite() { SysDestroyOffscreenGL(); }

    void SetUp() override {
        SysUseRecordingBackend();
        seconds = 1.0;
        std::memset(gKeyDown, 0, sizeof gKeyDown);
        gWindowActive = true;
        gFullscreenMode = true;
        gMusicPending = true;
        gMusicStream = nullptr;
        ResetSceneState();
        Recorder().counterScript = [this] {
            ++counterReads;
            return static_cast<int64_t>(seconds * 1e6);
        };
        gClock = DemoClock();
        counterReads = 0;

        // Every slot holds a live texture, so that frees can be seen with glIsTexture.
        for (const CatalogueEntry& e : kCatalogue) {
            *e.slot = TextureRecord{};
            glGenTextures(1, &e.slot->glName);
            glBindTexture(GL_TEXTURE_2D, e.slot->glName);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    void TearDown() override {
        for (const CatalogueEntry& e : kCatalogue) glDeleteTextures(1, &e.slot->glName);
        SysUseBackend(nullptr);
    }

    static int LiveTextures() {
        int live = 0;
        for (const CatalogueEntry& e : kCatalogue) live += glIsTexture(e.slot->glName) ? 1 : 0;
        return live;
    }
    // Each scene call samples the clock exactly once.
    int SceneCalls() const { return counterReads; }

    double seconds = 1.0;
    int counterReads = 0;
};

TEST_F(FrameLoopTest, CloseRunsTheWholeTeardownInOrderAndExitsZero) {
    Recorder().onIdle = [](int idle) {
        if (idle == 2) Recorder().Post(WM_CLOSE);
    };
    EXPECT_EQ(ProgramMain(), 0);

    EXPECT_EQ(WithoutLoopTraffic(Recorder().calls),
              Join({kOpenFullscreen, kMusic, kTeardownFullscreen}));
    // Two frames were drawn and presented before the close request.
    EXPECT_EQ(Recorder().swaps, 2);
    EXPECT_EQ(SceneCalls(), 2);
    // WM_CLOSE posts quit 0; the window stays until the teardown.
    const int close = Recorder().Find("DispatchMessage 0x10");
    const int quit = Recorder().Find("PostQuitMessage 0", close);
    const int takeQuit = Recorder().Find("PeekMessage 0x12 0x0", quit);
    ASSERT_GE(close, 0);
    EXPECT_GT(quit, close);
    EXPECT_GT(takeQuit, quit);
    EXPECT_GT(Recorder().Find("DestroyWindow"), takeQuit);
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FrameLoopTest, EscapeDuringASceneDrawsThatFrameButDoesNotPresentIt) {
    bool pressed = false;
    Recorder().onIdle = [&](int idle) {
        if (idle == 1 && !pressed) {
            pressed = true;
            Recorder().Post(WM_KEYDOWN, VK_ESCAPE);
        }
    };
    EXPECT_EQ(ProgramMain(), 0);
    EXPECT_EQ(SceneCalls(), 2);  // the frame before the key and the one that sees it
    EXPECT_EQ(Recorder().swaps, 1);
    EXPECT_EQ(WithoutLoopTraffic(Recorder().calls),
              Join({kOpenFullscreen, kMusic, kTeardownFullscreen}));
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FrameLoopTest, EscapeWhileMinimisedEndsTheLoopWithoutAnyScene) {
    Recorder().Post(WM_ACTIVATE, WA_INACTIVE | 1u << 16);
    Recorder().Post(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(ProgramMain(), 0);
    EXPECT_FALSE(gWindowActive);
    EXPECT_EQ(SceneCalls(), 0);
    EXPECT_EQ(Recorder().swaps, 0);
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FrameLoopTest, MinimisedWindowSkipsTheScenesButKeepsSwapping) {
    Recorder().Post(WM_ACTIVATE, WA_INACTIVE | 1u << 16);
    bool restored = false;
    Recorder().onIdle = [&](int idle) {
        if (idle == 4 && !restored) {
            EXPECT_EQ(SceneCalls(), 0);
            EXPECT_EQ(Recorder().swaps, 4);
            restored = true;
            seconds = 30.0;  // the clock ran on while minimised
            Recorder().Post(WM_ACTIVATE, WA_ACTIVE);
        }
        if (idle == 6) Recorder().Post(WM_CLOSE);
    };
    EXPECT_EQ(ProgramMain(), 0);
    EXPECT_EQ(Recorder().swaps, 6);
    // Restored at t = 30: the intro is long over, so its last frame and the title's first
    // are the two frames after the restore.
    EXPECT_EQ(SceneCalls(), 1 + 2);
    EXPECT_TRUE(gScenes.introLocked);
    EXPECT_FALSE(gScenes.titleLocked);
}

TEST_F(FrameLoopTest, EndOfTheTimelineEndsTheLoopAfterEachSceneDrewOnce) {
    seconds = 120.0;
    EXPECT_EQ(ProgramMain(), 0);  // no message was ever taken
    // Five presented frames, one per scene; the sixth pass finds every scene finished.
    EXPECT_EQ(Recorder().swaps, 5);
    EXPECT_EQ(SceneCalls(), 1 + 2 + 3 + 4 + 5 + 5);
    EXPECT_EQ(WithoutLoopTraffic(Recorder().calls),
              Join({kOpenFullscreen, kMusic, kTeardownFullscreen}));
    EXPECT_EQ(LiveTextures(), 0);
}

TEST_F(FrameLoopTest, RefusedModeAcceptedAsWindowOpensFramedAndLeavesTheDisplayAlone) {
    Recorder().changeDisplayMode = DISP_CHANGE_FAILED;
    Recorder().messageBoxAnswers = {IDYES};
    Recorder().onIdle = [](int idle) {
        if (idle == 1) Recorder().Post(WM_CLOSE);
    };
    EXPECT_EQ(ProgramMain(), 0);
    EXPECT_FALSE(gFullscreenMode);
    // No cursor change, and closing leaves the display mode alone.
    const std::vector<std::string> expected = Join({
        {"RegisterWindowClass OpenGL 0x23", "ChangeDisplayMode 640x480x32 0x4",
         "MessageBox Ortolo GL|The Requested Fullscreen Mode Is Not Supported By\nYour Video "
         "Card. Use Windowed Mode Instead?|0x34",
         "AdjustWindowRect 640x480 0xCF0000 0x40100",
         std::string("CreateWindow 0x40100 OpenGL ") + kTitle + "|0x6CF0000 0,0 640x480"},
        kContextAndShow,
        kMusic,
        {"SoundStreamStop stream", "SoundStreamClose stream", "SoundClose",
         "MakeCurrent release", "DeleteContext", "ReleaseDC", "DestroyWindow",
         "UnregisterWindowClass OpenGL"},
    });
    EXPECT_EQ(WithoutLoopTraffic(Recorder().calls), expected);
}

TEST_F(FrameLoopTest, SilentRunWhenTheSoundCannotStart) {
    Recorder().soundInit = false;
    Recorder().streamOpen = false;
    seconds = 120.0;
    EXPECT_EQ(ProgramMain(), 0);
    EXPECT_EQ(Recorder().swaps, 5);
    const std::vector<std::string> sound = Recorder().CallsStartingWith("Sound");
    const std::vector<std::string> expected = {
        "SoundInit 44000 64 0",   "SoundStreamOpen data/Vellmarsh.mp3 0x2000 0 0",
        "SoundStreamPlay 0 null", "SoundStreamStop null",
        "SoundStreamClose null",  "SoundClose",
    };
    EXPECT_EQ(sound, expected);
}

struct OpenFailure {
    const char* name;
    void (*script)(RecordingBackend&);
    std::vector<std::string> boxes;
    bool releasesFirst;  // from window creation on, everything built is released before the box
};

const OpenFailure kOpenFailures[] = {
    {"class", [](RecordingBackend& r) { r.registerClass = false; },
     {"MessageBox ERROR|Failed To Register The Window Class.|0x30"}, false},
    {"declined", [](RecordingBackend& r) {
         r.changeDisplayMode = DISP_CHANGE_FAILED;
         r.messageBoxAnswers = {IDNO};
     },
     {"MessageBox Ortolo GL|The Requested Fullscreen Mode Is Not Supported By\nYour Video "
      "Card. Use Windowed Mode Instead?|0x34",
      "MessageBox ERROR|Program Will Now Close.|0x10"},
     false},
    {"unanswered", [](RecordingBackend& r) {
         r.changeDisplayMode = DISP_CHANGE_FAILED;
         r.messageBoxAnswers = {0};
     },
     {"MessageBox Ortolo GL|The Requested Fullscreen Mode Is Not Supported By\nYour Video "
      "Card. Use Windowed Mode Instead?|0x34",
      "MessageBox ERROR|Program Will Now Close.|0x10"},
     false},
    {"window", [](RecordingBackend& r) { r.createWindow = false; },
     {"MessageBox ERROR|Window Creation Error.|0x30"}, true},
    {"dc", [](RecordingBackend& r) { r.getDC = false; },
     {"MessageBox ERROR|Can't Create A GL Device Context.|0x30"}, true},
    {"choose", [](RecordingBackend& r) { r.choosePixelFormat = 0; },
     {"MessageBox ERROR|Can't Find A Suitable PixelFormat.|0x30"}, true},
    {"set", [](RecordingBackend& r) { r.setPixelFormat = false; },
     {"MessageBox ERROR|Can't Set The PixelFormat.|0x30"}, true},
    {"context", [](RecordingBackend& r) { r.createContext = false; },
     {"MessageBox ERROR|Can't Create A GL Rendering Context.|0x30"}, true},
    {"current", [](RecordingBackend& r) { r.makeCurrent = false; },
     {"MessageBox ERROR|Can't Activate The GL Rendering Context.|0x30"}, true},
};

TEST_F(FrameLoopTest, FailedOpenExitsOneWithoutSoundOrTextureFrees) {
    for (const OpenFailure& f : kOpenFailures) {
        SetUp();
        f.script(Recorder());
        EXPECT_EQ(ProgramMain(), 1) << f.name;
        const RecordingBackend& r = Recorder();
        EXPECT_EQ(r.CallsStartingWith("MessageBox"), f.boxes) << f.name;
        EXPECT_TRUE(r.CallsStartingWith("Sound").empty()) << f.name;
        EXPECT_EQ(r.Find("PeekMessage"), -1) << f.name;
        EXPECT_EQ(LiveTextures(), 29) << f.name;
        const int box = r.Find("MessageBox ERROR");
        const int unregister = r.Find("UnregisterWindowClass");
        if (f.releasesFirst) {
            // Fullscreen: the desktop mode and the cursor are back before the user reads it.
            const int restore = r.Find("ChangeDisplayMode restore");
            const int cursor = r.Find("ShowCursor 1");
            EXPECT_TRUE(restore >= 0 && restore < cursor && cursor < unregister &&
                        unregister < box)
                << f.name;
        } else {
            EXPECT_EQ(unregister, -1) << f.name;
            EXPECT_EQ(r.Find("CreateWindow"), -1) << f.name;
        }
        TearDown();
    }
}

struct ShutdownFailure {
    void (*script)(RecordingBackend&);
    const char* box;
};

const ShutdownFailure kShutdownFailures[] = {
    {[](RecordingBackend& r) { r.releaseCurrent = false; }, "Release Of DC And RC Failed."},
    {[](RecordingBackend& r) { r.deleteContext = false; }, "Release Rendering Context Failed."},
    {[](RecordingBackend& r) { r.releaseDC = false; }, "Release Device Context Failed."},
    {[](RecordingBackend& r) { r.destroyWindow = false; }, "Could Not Release hWnd."},
    {[](RecordingBackend& r) { r.unregisterClass = false; }, "Could Not Unregister Class."},
};

TEST_F(FrameLoopTest, ShutdownFailuresAreReportedAndClosingGoesOn) {
    for (const ShutdownFailure& f : kShutdownFailures) {
        SetUp();
        f.script(Recorder());
        seconds = 120.0;
        EXPECT_EQ(ProgramMain(), 0) << f.box;
        const RecordingBackend& r = Recorder();
        const std::vector<std::string> expectedBox = {std::string("MessageBox SHUTDOWN ERROR|") +
                                                      f.box + "|0x40"};
        EXPECT_EQ(r.CallsStartingWith("MessageBox"), expectedBox);
        // Every release step still ran, in order, and the textures were freed.
        std::vector<std::string> released;
        for (const auto& c : WithoutLoopTraffic(r.calls))
            if (c.rfind("MessageBox", 0) != 0) released.push_back(c);
        EXPECT_EQ(released, Join({kOpenFullscreen, kMusic, kTeardownFullscreen})) << f.box;
        EXPECT_EQ(LiveTextures(), 0) << f.box;
        TearDown();
    }
}

}  // namespace
