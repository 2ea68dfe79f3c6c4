// The timeline-sheet tool run as a user would: the sheet's layout, the frames it replays
// in rising order, and its refusals. An empty data folder leaves every quad bare (lit,
// untextured), which is enough to tell a card, a still and the end apart.
#include <gtest/gtest.h>
#include <cairo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

class TimelineSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/vz-sheet-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
        ASSERT_EQ(mkdir((dir_ + "/pictures").c_str(), 0755), 0);
    }
    void TearDown() override {
        unlink((dir_ + "/sheet.png").c_str());
        rmdir((dir_ + "/pictures").c_str());
        rmdir(dir_.c_str());
    }
    // The tool's exit status with these arguments after --data and --out.
    int Sheet(const std::string& args) {
        const std::string command = std::string(TIMELINE_SHEET) + " --data " + dir_ +
                                    "/pictures --out " + dir_ + "/sheet.png " + args +
                                    " >/dev/null 2>&1";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string SheetPath() const { return dir_ + "/sheet.png"; }

    std::string dir_;
};

// Red, green, blue of the sheet's pixel at (x, y), top-down.
uint32_t PixelAt(cairo_surface_t* sheet, int x, int y) {
    const unsigned char* row = cairo_image_surface_get_data(sheet) +
                               static_cast<size_t>(y) * cairo_image_surface_get_stride(sheet);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
}

TEST_F(TimelineSheetTest, LaysTheFramesOutInRisingOrderAndMarksTheEnd) {
    ASSERT_EQ(Sheet("--columns 2 120 15 30"), 0);
    cairo_surface_t* sheet = cairo_image_surface_create_from_png(SheetPath().c_str());
    ASSERT_EQ(cairo_surface_status(sheet), CAIRO_STATUS_SUCCESS);
    // Two columns of half-size frames, two rows: 16 + 2 x (320 + 16) by 40 + 2 x 286.
    EXPECT_EQ(cairo_image_surface_get_width(sheet), 688);
    EXPECT_EQ(cairo_image_surface_get_height(sheet), 612);

    const uint32_t background = PixelAt(sheet, 4, 4);
    // Frame 1, t = 15: the intro card centred, black at its sides.
    const uint32_t cardCentre = PixelAt(sheet, 16 + 160, 40 + 120);
    EXPECT_NE(cardCentre, 0u);
    EXPECT_NE(cardCentre, background);
    EXPECT_EQ(PixelAt(sheet, 16 + 5, 40 + 120), 0u);
    // Frame 2, t = 30: the title still reaches the frame's edge.
    EXPECT_NE(PixelAt(sheet, 352 + 2, 40 + 120), 0u);
    EXPECT_NE(PixelAt(sheet, 352 + 2, 40 + 120), background);
    // Frame 3, t = 120: the presentation had ended; a plain panel, neither black nor a quad.
    const uint32_t over = PixelAt(sheet, 16 + 160, 326 + 120);
    EXPECT_NE(over, 0u);
    EXPECT_NE(over, background);
    EXPECT_NE(over, cardCentre);
    cairo_surface_destroy(sheet);
}

TEST_F(TimelineSheetTest, RefusesBadSamplesOptionsAndFolders) {
    for (const char* args : {"abc", "-3", "nan", "1e9", "--columns 0", "--columns x", "--frob"})
        EXPECT_EQ(Sheet(args), 2) << args;
    const std::string missing = std::string(TIMELINE_SHEET) + " --data " + dir_ +
                                "/none --out " + SheetPath() + " 10 >/dev/null 2>&1";
    EXPECT_NE(std::system(missing.c_str()), 0);
    EXPECT_NE(access(SheetPath().c_str(), F_OK), 0) << "no sheet is written after a refusal";
}

}  // namespace
