// What the scenes put on a real screen, driven through the chain by a scripted clock and
// read back with glReadPixels: which picture shows when, the card's size and rise, and the
// texture state scene 1 leaves behind.
#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

#include "app/renderer_setup.h"
#include "tests/scenes/scene_screen.h"
#include "timeline/picture_scenes.h"
#include "timeline/scene_sequencer.h"

namespace {

using ScenePixelsTest = SceneScreenTest;

const std::string kIntro = "data\\Intro.jpg";
const std::string kGreetings = "data\\Greetings.jpg";

bool Same(Rgb a, Rgb b) {
    return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

// Highest and lowest row of column x that show `picture`, -1 when none does.
int TopRow(const Screen& screen, int x, const std::string& picture) {
    for (int y = 479; y >= 0; --y)
        if (screen.PictureAt(x, y) == picture) return y;
    return -1;
}
int BottomRow(const Screen& screen, int x, const std::string& picture) {
    for (int y = 0; y < 480; ++y)
        if (screen.PictureAt(x, y) == picture) return y;
    return -1;
}

TEST_F(ScenePixelsTest, TheTimelinePutsTheRightPictureOnScreen) {
    struct Case {
        double t;
        const char* shown;
    };
    const Case cases[] = {
        {5.0, "black"},  // the intro card is still below the screen
        {26.5, "data\\Vellmarsh.jpg"},
        {35.5, "data\\Vellmarsh.jpg"},  // the title's finishing frame is still its own
        {36.0, "data\\Circus.jpg"},
        {39.0, "data\\Circus.jpg"},
        {39.5, "data\\TeltPobble1.jpg"},
        {43.0, "data\\TeltPobble1.jpg"},  // thresholds are strict
        {50.5, "data\\WembleAnim08.jpg"},
        {62.0, "data\\WembleAnim19.jpg"},
        {62.5, "data\\WembleDead.jpg"},
        {65.0, "data\\WembleDead.jpg"},
        {66.0, "data\\HappyPobble.jpg"},
        {68.0, "data\\HappyPobble.jpg"},
        // Scene 5 draws nothing up to 70: this single-buffered surface keeps the last still.
        {70.0, "data\\HappyPobble.jpg"},
        {108.0, "black"},  // the credits card has just left at the top
        {108.5, "data\\Quibbet.jpg"},
        {114.0, "data\\Quibbet.jpg"},  // the last frame presented
    };
    for (const Case& c : cases) {
        ShowAt(c.t);
        EXPECT_EQ(Read().Filling(), c.shown) << "t = " << c.t;
    }
}

TEST_F(ScenePixelsTest, FlipBookShowsFrameNFromJustAfter42PlusNTo43PlusN) {
    for (int n = 1; n <= 19; ++n) {
        char file[32];
        snprintf(file, sizeof file, "data\\WembleAnim%02d.jpg", n);
        for (double t : {42.0 + n + 0.01, 43.0 + n}) {
            ShowAt(t);
            EXPECT_EQ(Read().Filling(), file) << "t = " << t;
        }
    }
}

TEST_F(ScenePixelsTest, AtEightySevenOnlyTheGreetingsCardIsDrawnAndItsFootStillShows) {
    ShowAt(87.0);
    const Screen at87 = Read();
    // y = 1.4: the card's lower edge sits 0.4 units, about 115.9 pixels, above the centre.
    const int bottom = BottomRow(at87, 320, kGreetings);
    EXPECT_NEAR(bottom, 356, 1);
    EXPECT_EQ(TopRow(at87, 320, kGreetings), 479);
    EXPECT_EQ(at87.PictureAt(320, bottom - 3), "black");
    EXPECT_EQ(at87.PictureAt(10, 470), "black");  // the card is narrower than the screen

    // Just after 87 the credits card is drawn too, after its own clear, still below view.
    ASSERT_TRUE(Frame(87.01));
    EXPECT_TRUE(Read().AllBlack());
}

TEST_F(ScenePixelsTest, CardIsAbout579PixelsSquareAndRisesAbout58PixelsPerSecond) {
    ASSERT_TRUE(Frame(15.0));  // centred: y = 0
    const Screen centred = Read();
    int left = -1, right = -1;
    for (int x = 0; x < 640; ++x)
        if (centred.PictureAt(x, 240) == kIntro) {
            if (left < 0) left = x;
            right = x;
        }
    ASSERT_GE(left, 0);
    EXPECT_NEAR(right - left + 1, 579.4, 1.5);
    EXPECT_NEAR(left, 30.3, 1.0);  // centred, about 30 pixels of black each side
    EXPECT_NEAR(639 - right, 30.3, 1.0);
    EXPECT_EQ(centred.PictureAt(320, 0), kIntro);  // taller than the screen
    EXPECT_EQ(centred.PictureAt(320, 479), kIntro);

    int top[4];
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(Frame(10.0 + i));
        top[i] = TopRow(Read(), 320, kIntro);
    }
    EXPECT_NEAR(top[0], 240, 1);  // at t = 10, y = -1: the top edge on the centre line
    for (int i = 1; i < 4; ++i) EXPECT_NEAR(top[i] - top[i - 1], 57.9, 1.0) << i;
    const double rise = (top[3] - top[0]) / 3.0;
    EXPECT_NEAR(rise, 57.9, 0.7);

    // Height from the top edge at 12 s and the bottom edge at 18 s, 6 s of rise apart.
    ASSERT_TRUE(Frame(18.0));
    const int bottomAt18 = BottomRow(Read(), 320, kIntro);
    EXPECT_NEAR(top[2] - bottomAt18 + 1 + 6.0 * rise, 579.4, 2.0);
}

TEST_F(ScenePixelsTest, IntroCardEntersAfter586AndHasLeftBy2414) {
    struct Case {
        double t;
        bool visible;
        int row;  // where it shows first: the bottom row entering, the top row leaving
    };
    const Case cases[] = {{5.8, false, 0}, {5.95, true, 0}, {24.1, true, 479},
                          {24.2, false, 479}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Frame(c.t));
        const Screen screen = Read();
        EXPECT_EQ(screen.AllBlack(), !c.visible) << "t = " << c.t;
        if (c.visible) {
            EXPECT_EQ(screen.PictureAt(320, c.row), kIntro) << "t = " << c.t;
        }
    }
}

TEST_F(ScenePixelsTest, SceneOneFinishesOnABlackFrame) {
    ASSERT_TRUE(Frame(15.0));
    ASSERT_FALSE(Read().AllBlack());
    ASSERT_TRUE(Frame(26.0));  // the card drawn at y = 2.2, wholly above the screen
    EXPECT_TRUE(gScenes.introLocked);
    EXPECT_TRUE(Read().AllBlack());
}

TEST_F(ScenePixelsTest, FirstFrameOfSceneTwoIsDrawnInReplaceModeInheritedFromSceneOne) {
    const Rgb title = TestColour(1);
    // The premise: drawn in the default MODULATE mode, the lit corners come out darker.
    DrawTitle(30.0f);
    ASSERT_FALSE(Same(Read().At(0, 0), title));

    ASSERT_TRUE(Frame(1.0));
    ASSERT_TRUE(Frame(26.0));
    ASSERT_TRUE(Frame(26.0));  // scene 2's first frame
    ASSERT_TRUE(gScenes.introLocked);
    EXPECT_EQ(Read().Filling(), "data\\Vellmarsh.jpg");  // every probe, corners included

    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
}

TEST_F(ScenePixelsTest, TextureOriginIsTheLowerLeftCornerOfCardAndStill) {
    const Rgb lowerLeft = {255, 0, 0}, lowerRight = {0, 255, 0}, upperLeft = {0, 0, 255},
              upperRight = {255, 255, 255};
    for (const TextureRecord* slot : {&texIntro, &texVellmarsh})
        UploadTexels(slot->glName, 2, 2, {lowerLeft, lowerRight, upperLeft, upperRight});

    struct Probe {
        int x, y;
        Rgb want;
    };
    ASSERT_TRUE(Frame(15.0));  // the card centred, from x = 30 to 609
    const Probe onCard[] = {{175, 120, lowerLeft}, {465, 120, lowerRight},
                            {175, 360, upperLeft}, {465, 360, upperRight}};
    Screen screen = Read();
    for (const Probe& p : onCard)
        EXPECT_TRUE(Same(screen.At(p.x, p.y), p.want)) << "card at " << p.x << "," << p.y;

    ASSERT_TRUE(Frame(26.0));
    ASSERT_TRUE(Frame(26.5));
    const Probe onStill[] = {{160, 120, lowerLeft}, {480, 120, lowerRight},
                             {160, 360, upperLeft}, {480, 360, upperRight}};
    screen = Read();
    for (const Probe& p : onStill)
        EXPECT_TRUE(Same(screen.At(p.x, p.y), p.want)) << "still at " << p.x << "," << p.y;
}

TEST_F(ScenePixelsTest, StillOverfillsTheViewByAboutOnePixelOnEachSide) {
    // 4x4 texels in a checkerboard: on screen the texel edges show the still's scale.
    const Rgb dark = {0, 0, 0}, light = {255, 255, 255};
    std::vector<Rgb> board;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            board.push_back((row + column) % 2 ? light : dark);
    UploadTexels(texVellmarsh.glName, 4, 4, board);
    ShowAt(30.0);
    const Screen screen = Read();

    // 642.4 by 483.0 pixels, centred: a texel is 160.6 wide and 120.75 high, and the
    // first one is cut by about 1.2 pixels at the left and 1.5 at the bottom.
    std::vector<int> columnEdges, rowEdges;
    for (int x = 1; x < 640; ++x)
        if (!Same(screen.At(x, 60), screen.At(x - 1, 60))) columnEdges.push_back(x);
    for (int y = 1; y < 480; ++y)
        if (!Same(screen.At(80, y), screen.At(80, y - 1))) rowEdges.push_back(y);
    ASSERT_EQ(columnEdges.size(), 3u);
    ASSERT_EQ(rowEdges.size(), 3u);
    const double columnWant[] = {159.4, 320.0, 480.6}, rowWant[] = {119.25, 240.0, 360.75};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(columnEdges[i], columnWant[i], 1.0) << i;
        EXPECT_NEAR(rowEdges[i], rowWant[i], 1.0) << i;
    }
    EXPECT_TRUE(Same(screen.At(0, 0), dark));  // texel (0, 0) reaches the lower left pixel
}

}  // namespace
