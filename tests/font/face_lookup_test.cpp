// Which families count as found when fontconfig knows the URW faces but none of the
// system's aliases: the family itself and what the set-up binds strongly in its place,
// never a fallback that fontconfig offers for anything.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/platform.h"

namespace {

TEST(FaceLookup, OnlyTheFamilyOrAStrongAliasCounts) {
    ASSERT_EQ(setenv("FONTCONFIG_FILE", VZ_FONT_CONF, 1), 0);
    struct Case {
        const char* family;
        bool found;
    };
    const Case cases[] = {
        {"Nimbus Roman", true},
        {"nimbusroman", true},  // blanks and case do not count, as in fontconfig
        {"Voruzavur Strong Alias", true},
        {"Voruzavur Weak Alias", false},
        {"times", false},  // no metric alias in this set-up
        {"Voruzavur No Such Family", false},
    };
    for (const Case& c : cases) {
        SysOutlineFace* face = SysOpenOutlineFace(c.family, 700);
        EXPECT_EQ(face != nullptr, c.found) << c.family << ": " << SysLastError();
        if (!face) continue;
        // It is the face asked for: Nimbus Roman Bold's 'b' is 0.556 em wide.
        SysGlyphShape shape;
        ASSERT_TRUE(SysGlyphOutline(face, 'b', 0.1f, &shape));
        EXPECT_NEAR(shape.advance, 0.556f, 1e-4) << c.family;
        SysCloseOutlineFace(face);
    }
}

}  // namespace
