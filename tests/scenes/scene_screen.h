// A 640x480 offscreen screen set up as the render window leaves it, a scripted clock, and
// test pictures of distinct plain colours in the catalogue slots, read back by colour.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/scenes/test_pictures.h"

// One 640x480 frame as glReadPixels gives it: rows bottom-up, x to the right.
struct Screen {
    std::vector<uint8_t> rgba;
    Rgb At(int x, int y) const;
    // The catalogue file whose test colour is at (x, y), "black", or "rgb(r,g,b)".
    std::string PictureAt(int x, int y) const;
    // The one picture on the whole screen, or a description of what differs.
    std::string Filling() const;
    bool AllBlack() const;
};

class SceneScreenTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    // Context current, viewport and projection as the window sets them, InitRenderer run
    // in a folder with no data (so every load fails), then the test pictures uploaded.
    void SetUp() override;
    void TearDown() override;
    // The same without InitRenderer and the pictures.
    void StartScreen();

    // One evaluation of the chain with the clock at t; the chain's answer.
    bool Frame(double t);
    // A run from the start up to t: one frame on each end time passed before t (where each
    // scene finishes in a real run), then the frame at t.
    void ShowAt(double t);
    static Screen Read();
    // The empty folder the test runs in; a "data" folder made in it goes at tear-down.
    const std::string& WorkFolder() const { return emptyDirectory_; }

    // Puts a width x height picture into the texture `name`, texels row by row from the
    // bottom row up, as the upload leaves them; sampled nearest.
    static void UploadTexels(uint32_t name, int width, int height, const std::vector<Rgb>& texels);

    double seconds = 0.0;

private:
    std::string oldDirectory_;
    std::string emptyDirectory_;
};
