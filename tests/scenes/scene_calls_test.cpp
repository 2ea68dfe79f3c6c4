// The GL calls of the set-up and of every scene, as a call tracer (apitrace) records them
// from the probe, cut into frames at the probe's glPassThrough marks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "app/renderer_setup.h"
#include "tests/scenes/scene_call_frames.h"
#include "tests/scenes/test_pictures.h"

namespace {

struct Call {
    std::string name;
    std::string args;  // as the dump prints them, inside the parentheses
    std::string Text() const { return name + "(" + args + ")"; }
};
using Calls = std::vector<Call>;

struct Trace {
    Calls setUp;
    std::vector<Calls> frames;
    std::string error;  // why the trace could not be had
};

std::string Run(const std::string& command) {
    return std::system(command.c_str()) == 0 ? "" : "failed: " + command;
}

// Traces the probe once per process and cuts the dump at the marks.
const Trace& ProbeTrace() {
    static const Trace trace = [] {
        Trace t;
        char folder[] = "/tmp/vz-call-trace-XXXXXX";
        if (!mkdtemp(folder)) {
            t.error = "no temporary folder";
            return t;
        }
        const std::string dir = folder;
        t.error = Run("apitrace trace --api egl --output " + dir + "/probe.trace " +
                      SCENE_CALL_PROBE + " >" + dir + "/probe.log 2>&1");
        if (t.error.empty())
            t.error = Run("apitrace dump --color=never " + dir + "/probe.trace >" + dir +
                          "/dump.txt 2>" + dir + "/dump.log");
        std::ifstream dump(dir + "/dump.txt");
        const std::regex line(R"(^\d+ (gl\w+)\((.*)\)( // fake)?$)");
        const std::regex mark(R"(^token = (-?\d+)$)");
        Calls* into = nullptr;
        std::string text;
        while (std::getline(dump, text)) {
            std::smatch m;
            if (!std::regex_match(text, m, line) || m[3].matched) continue;
            const Call call = {m[1], m[2]};
            std::smatch token;
            if (call.name == "glPassThrough" && std::regex_match(call.args, token, mark)) {
                const int value = std::stoi(token[1]);
                if (value == static_cast<int>(kMarkSetUp)) {
                    into = &t.setUp;
                } else if (value >= 0) {
                    t.frames.emplace_back();
                    into = &t.frames.back();
                } else {
                    into = nullptr;
                }
                continue;
            }
            if (into) into->push_back(call);
        }
        if (t.error.empty() && t.frames.size() != std::size(kProbeFrames))
            t.error = "the trace holds " + std::to_string(t.frames.size()) + " frames";
        for (const char* file : {"probe.trace", "probe.log", "dump.txt", "dump.log"})
            std::remove((dir + "/" + file).c_str());
        rmdir(folder);
        return t;
    }();
    return trace;
}

class SceneCallsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(ProbeTrace().error, ""); }
    static const Calls& FrameCalls(int index) { return ProbeTrace().frames.at(index); }
};

uint32_t NameOf(const std::string& file) {
    for (int i = 0; i < 29; ++i)
        if (file == kCatalogue[i].file) return TestTextureName(i);
    ADD_FAILURE() << "no catalogue row for " << file;
    return 0;
}

std::string Bind(const std::string& file) {
    return "glBindTexture(target = GL_TEXTURE_2D, texture = " + std::to_string(NameOf(file)) +
           ")";
}

const std::vector<std::string> kCardCorners = {
    "glTexCoord2f(s = 0, t = 0)", "glVertex3f(x = -1, y = -1, z = 0)",
    "glTexCoord2f(s = 1, t = 0)", "glVertex3f(x = 1, y = -1, z = 0)",
    "glTexCoord2f(s = 1, t = 1)", "glVertex3f(x = 1, y = 1, z = 0)",
    "glTexCoord2f(s = 0, t = 1)", "glVertex3f(x = -1, y = 1, z = 0)",
};
const std::vector<std::string> kStillCorners = {
    "glNormal3f(nx = 0, ny = 0, nz = 1)",
    "glTexCoord2f(s = 0, t = 0)",         "glVertex3f(x = -13.3, y = -10, z = 10)",
    "glTexCoord2f(s = 1, t = 0)",         "glVertex3f(x = 13.3, y = -10, z = 10)",
    "glTexCoord2f(s = 1, t = 1)",         "glVertex3f(x = 13.3, y = 10, z = 10)",
    "glTexCoord2f(s = 0, t = 1)",         "glVertex3f(x = -13.3, y = 10, z = 10)",
};
const char kClear[] = "glClear(mask = GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT)";

// One picture drawn: its file, and for a card the height y (a still has none).
struct Draw {
    std::string file;
    bool card;
    double y;
};

// Checks that `calls[from...]` is exactly the draw of `want` and moves past it. The
// translation is compared as a number; everything else as the dump prints it.
void ExpectDraw(const Calls& calls, size_t& at, const Draw& want, bool bound = false) {
    std::vector<std::string> lines;
    if (!bound) lines.push_back(Bind(want.file));
    lines.push_back(kClear);
    lines.push_back("glLoadIdentity()");
    const size_t translateAt = lines.size();
    lines.push_back("glTranslatef");
    lines.push_back("glBegin(mode = GL_QUADS)");
    for (const std::string& corner : want.card ? kCardCorners : kStillCorners)
        lines.push_back(corner);
    lines.push_back("glEnd()");

    for (size_t i = 0; i < lines.size(); ++i, ++at) {
        ASSERT_LT(at, calls.size()) << "the draw of " << want.file << " stops short";
        if (i != translateAt) {
            ASSERT_EQ(calls[at].Text(), lines[i]) << "call " << i << " of " << want.file;
            continue;
        }
        ASSERT_EQ(calls[at].name, "glTranslatef") << want.file;
        double x = 1, y = 1, z = 1;
        ASSERT_EQ(sscanf(calls[at].args.c_str(), "x = %lf, y = %lf, z = %lf", &x, &y, &z), 3);
        EXPECT_EQ(x, 0.0);
        EXPECT_NEAR(y, want.card ? want.y : 0.0, 1e-5) << want.file;
        EXPECT_NEAR(z, want.card ? -2.0 : -33.99, 1e-6) << want.file;
    }
}

// The frame is these draws and not one call more.
void ExpectDraws(int frame, const std::vector<Draw>& draws) {
    SCOPED_TRACE("frame " + std::to_string(frame) + " at t = " +
                 std::to_string(kProbeFrames[frame]));
    const Calls& calls = ProbeTrace().frames.at(frame);
    size_t at = 0;
    for (const Draw& draw : draws) {
        ExpectDraw(calls, at, draw);
        if (::testing::Test::HasFatalFailure()) return;
    }
    EXPECT_EQ(at, calls.size()) << "an extra call: " << (at < calls.size() ? calls[at].Text() : "");
}

Draw Still(const char* file) { return {file, false, 0.0}; }
Draw Card(const char* file, double y) { return {file, true, y}; }

TEST_F(SceneCallsTest, SetUpEndsWithTheLightAndTheFixedStateInOrder) {
    const std::vector<std::string> tail = {
        "glLightfv(light = GL_LIGHT1, pname = GL_AMBIENT, params = {1, 1, 1, 1})",
        "glLightfv(light = GL_LIGHT1, pname = GL_DIFFUSE, params = {1, 1, 1, 1})",
        "glLightfv(light = GL_LIGHT1, pname = GL_POSITION, params = {0, 0, 0, 1})",
        "glEnable(cap = GL_LIGHT1)",
        "glEnable(cap = GL_LIGHTING)",
        "glEnable(cap = GL_TEXTURE_2D)",
        "glShadeModel(mode = GL_SMOOTH)",
        "glClearColor(red = 0, green = 0, blue = 0, alpha = 0)",
        "glClearDepth(depth = 1)",
        "glEnable(cap = GL_DEPTH_TEST)",
        "glDepthFunc(func = GL_LEQUAL)",
        "glHint(target = GL_PERSPECTIVE_CORRECTION_HINT, mode = GL_NICEST)",
        "glHint(target = GL_POINT_SMOOTH_HINT, mode = GL_NICEST)",
    };
    const Calls& setUp = ProbeTrace().setUp;
    ASSERT_GE(setUp.size(), tail.size());
    const size_t first = setUp.size() - tail.size();  // the font's lists come before
    for (size_t i = 0; i < tail.size(); ++i) EXPECT_EQ(setUp[first + i].Text(), tail[i]) << i;
    for (size_t i = 0; i < first; ++i) {
        EXPECT_NE(setUp[i].name, "glLightfv") << "the light is set once, after the font";
        EXPECT_NE(setUp[i].name, "glHint");
    }
}

TEST_F(SceneCallsTest, SceneOneSetsTheTextureStateAroundItsBindThenDrawsTheCard) {
    const std::vector<std::string> head = {
        "glDisable(cap = GL_TEXTURE_GEN_S)",
        "glDisable(cap = GL_TEXTURE_GEN_T)",
        Bind("data\\Intro.jpg"),
        "glTexEnvf(target = GL_TEXTURE_ENV, pname = GL_TEXTURE_ENV_MODE, param = GL_REPLACE)",
        "glEnable(cap = GL_BLEND)",
    };
    struct Case {
        int frame;
        double y;  // t / 5 - 3
    };
    for (const Case& c : {Case{0, -2.8}, Case{1, 2.2}}) {
        SCOPED_TRACE("frame " + std::to_string(c.frame));
        const Calls& calls = FrameCalls(c.frame);
        ASSERT_GE(calls.size(), head.size());
        for (size_t i = 0; i < head.size(); ++i) ASSERT_EQ(calls[i].Text(), head[i]) << i;
        size_t at = head.size();
        ExpectDraw(calls, at, Card("data\\Intro.jpg", c.y), /*bound=*/true);
        EXPECT_EQ(at, calls.size());
    }
}

// Every frame after scene 1 is made of bare draws, so nothing sets texture state again.
TEST_F(SceneCallsTest, TitleAndCircusDrawOneStillEachFrameTheirFinishingOneIncluded) {
    ExpectDraws(2, {Still("data\\Vellmarsh.jpg")});
    ExpectDraws(3, {Still("data\\Vellmarsh.jpg")});
    ExpectDraws(4, {Still("data\\Circus.jpg")});
    ExpectDraws(5, {Still("data\\Circus.jpg")});
}

TEST_F(SceneCallsTest, FlipBookDrawsItsFirstStillThenEveryPassedRowInTableOrder) {
    ExpectDraws(6, {Still("data\\TeltPobble1.jpg")});  // t = 43.0 passes no row

    std::vector<std::string> files = {"data\\TeltPobble1.jpg"};
    for (int n = 1; n <= 19; ++n) {
        char file[32];
        snprintf(file, sizeof file, "data\\WembleAnim%02d.jpg", n);
        files.push_back(file);
    }
    files.push_back("data\\WembleDead.jpg");
    files.push_back("data\\HappyPobble.jpg");
    std::vector<Draw> all;
    for (const std::string& f : files) all.push_back({f, false, 0.0});
    ExpectDraws(7, all);  // 22 clears and stills
    ExpectDraws(8, all);  // and once more on the finishing frame
}

TEST_F(SceneCallsTest, CreditsIssueNoGlCommandAtAllUpToSeventy) {
    for (int frame : {9, 10}) {
        SCOPED_TRACE("t = " + std::to_string(kProbeFrames[frame]));
        EXPECT_TRUE(FrameCalls(frame).empty()) << "first call: " << FrameCalls(frame)[0].Text();
    }
}

TEST_F(SceneCallsTest, CreditsDrawEachPassedCardAndTheClosingStillAfterItsOwnClear) {
    ExpectDraws(11, {Card("data\\Greetings.jpg", 1.4)});  // 87.0 is not past 87
    ExpectDraws(12, {Card("data\\Greetings.jpg", 1.5), Card("data\\Credits.jpg", -2.0)});
    ExpectDraws(13, {Card("data\\Greetings.jpg", 6.8), Card("data\\Credits.jpg", 3.3),
                     Still("data\\Quibbet.jpg")});
    ExpectDraws(14, {});  // the timeline is over: nothing is drawn
}

}  // namespace
