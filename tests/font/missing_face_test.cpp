// The outline font with no face to be found (a fontconfig set-up without fonts): the
// names are reserved and freed, the lists draw nothing, one line says why, and the build
// returns.
#include <GL/gl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/outline_font.h"
#include "platform/platform.h"
#include "tests/font/font_test_support.h"

using namespace fonttest;

namespace {

// Everything BuildOutlineFont writes to standard error.
std::string BuildCapturingStandardError() {
    std::fflush(stderr);
    FILE* capture = std::tmpfile();
    if (!capture) return "(no temporary file)";
    const int saved = dup(fileno(stderr));
    dup2(fileno(capture), fileno(stderr));
    BuildOutlineFont();
    std::fflush(stderr);
    dup2(saved, fileno(stderr));
    close(saved);
    std::string text;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;) text += static_cast<char>(c);
    std::fclose(capture);
    return text;
}

TEST(MissingFace, ListsStayEmptyAndOneLineSaysSo) {
    ASSERT_EQ(setenv("FONTCONFIG_FILE", VZ_FONT_CONF, 1), 0);
    EXPECT_EQ(SysOpenOutlineFace("times", 700), nullptr);
    ASSERT_TRUE(SysCreateOffscreenGL(kViewSize, kViewSize)) << SysLastError();

    const std::string said = BuildCapturingStandardError();
    std::printf("said: %s", said.c_str());
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.find('\n'), said.size() - 1) << said;
    EXPECT_NE(said.find("BuildOutlineFont"), std::string::npos) << said;
    EXPECT_NE(said.find("times"), std::string::npos) << said;

    // Reserved: a new reservation lies outside the 256 names.
    const GLuint base = gFontListBase;
    ASSERT_NE(base, 0u);
    const GLuint other = glGenLists(1);
    EXPECT_TRUE(other < base || other >= base + 256) << other;
    glDeleteLists(other, 1);

    // Every list, and text printed with them, draws nothing and moves nothing.
    BeginGlyphView();
    for (unsigned code = 0; code < 256; ++code) glCallList(base + code);
    PrintOutlineText("Voruzavur");
    EXPECT_EQ(CountLit(ReadRed()), 0);
    const Matrix after = ModelView();
    EXPECT_EQ(after.m[12], 0.0f);

    DeleteOutlineFont();
    EXPECT_EQ(gFontListBase, 0u);
    for (GLuint name = base; name < base + 256; ++name) EXPECT_FALSE(glIsList(name)) << name;
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    SysDestroyOffscreenGL();
}

}  // namespace
