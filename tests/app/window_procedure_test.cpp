// The window procedure: what each message does to the keyboard and activation state, what it
// answers, and which messages reach default processing.
#include <gtest/gtest.h>

#include <cstring>

#include "app/render_window.h"
#include "platform/recording/recording_backend.h"

namespace {

class WindowProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        SysUseRecordingBackend();
        std::memset(gKeyDown, 0, sizeof gKeyDown);
        gWindowActive = true;
    }
    void TearDown() override { SysUseBackend(nullptr); }

    intptr_t Send(unsigned message, uintptr_t wParam, intptr_t lParam = 0) {
        return WindowProcedure(RecordedWindow(), message, wParam, lParam);
    }
    bool WentToDefault() const { return Recorder().Find("DefWindowProc") >= 0; }
};

struct ActivateCase {
    uintptr_t wParam;
    bool active;
};

TEST_F(WindowProcedureTest, ActivationFollowsTheMinimisedStateOnly) {
    // The low word (inactive, active, clicked) is not looked at: losing the focus without
    // being minimised keeps the window active.
    const ActivateCase cases[] = {
        {WA_ACTIVE, true},          {WA_INACTIVE, true},          {WA_CLICKACTIVE, true},
        {WA_INACTIVE | 1u << 16, false}, {WA_ACTIVE | 1u << 16, false}, {0xFFFFu << 16, false},
    };
    for (const ActivateCase& c : cases) {
        gWindowActive = !c.active;
        EXPECT_EQ(Send(WM_ACTIVATE, c.wParam), 0) << std::hex << c.wParam;
        EXPECT_EQ(gWindowActive, c.active) << std::hex << c.wParam;
    }
    EXPECT_FALSE(WentToDefault());
}

TEST_F(WindowProcedureTest, KeysSetAndClearTheirEntry) {
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE), 0);
    EXPECT_TRUE(gKeyDown[VK_ESCAPE]);
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE), 0);  // held: repeats leave it down
    EXPECT_TRUE(gKeyDown[VK_ESCAPE]);
    EXPECT_EQ(Send(WM_KEYDOWN, 'A'), 0);
    EXPECT_EQ(Send(WM_KEYUP, VK_ESCAPE), 0);
    EXPECT_FALSE(gKeyDown[VK_ESCAPE]);
    EXPECT_TRUE(gKeyDown['A']);
    EXPECT_EQ(Send(WM_KEYDOWN, 255), 0);
    EXPECT_TRUE(gKeyDown[255]);
    EXPECT_FALSE(WentToDefault());
}

TEST_F(WindowProcedureTest, KeyCodesBeyondTheTableAreIgnored) {
    bool guardBefore[256];
    std::memcpy(guardBefore, gKeyDown, sizeof gKeyDown);
    for (uintptr_t code : {uintptr_t{256}, uintptr_t{257}, uintptr_t{0x10000}, ~uintptr_t{0}}) {
        EXPECT_EQ(Send(WM_KEYDOWN, code), 0);
        EXPECT_EQ(Send(WM_KEYUP, code), 0);
    }
    EXPECT_EQ(std::memcmp(guardBefore, gKeyDown, sizeof gKeyDown), 0);
    EXPECT_TRUE(gWindowActive);
}

TEST_F(WindowProcedureTest, SystemKeysGoToDefaultProcessing) {
    EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F10), 0);
    EXPECT_EQ(Send(WM_SYSKEYDOWN, VK_F4, 1 << 29), 0);
    EXPECT_EQ(Send(WM_SYSKEYUP, VK_F4), 0);
    EXPECT_FALSE(gKeyDown[VK_F10]);
    EXPECT_FALSE(gKeyDown[VK_F4]);
    EXPECT_EQ(Recorder().CallsStartingWith("DefWindowProc").size(), 3u);
}

TEST_F(WindowProcedureTest, CloseRequestsQuitWithCodeZeroAndKeepsTheWindow) {
    EXPECT_EQ(Send(WM_CLOSE, 0), 0);
    ASSERT_EQ(Recorder().queue.size(), 1u);
    EXPECT_EQ(Recorder().queue.front().message, WM_QUIT);
    EXPECT_EQ(Recorder().queue.front().wParam, 0u);
    EXPECT_EQ(Recorder().Find("DestroyWindow"), -1);
    EXPECT_FALSE(WentToDefault());
}

struct SysCommandCase {
    uintptr_t wParam;
    bool swallowed;
};

TEST_F(WindowProcedureTest, ScreenSaverAndMonitorPowerAreSwallowedOnTheWholeParameter) {
    const SysCommandCase cases[] = {
        {SC_SCREENSAVE, true},   {SC_MONITORPOWER, true}, {SC_SCREENSAVE | 1, false},
        {SC_MONITORPOWER | 2, false}, {SC_CLOSE, false},  {SC_MINIMIZE, false},
        {SC_KEYMENU, false},
    };
    for (const SysCommandCase& c : cases) {
        Recorder().calls.clear();
        EXPECT_EQ(Send(WM_SYSCOMMAND, c.wParam), 0) << std::hex << c.wParam;
        EXPECT_EQ(WentToDefault(), !c.swallowed) << std::hex << c.wParam;
    }
}

TEST_F(WindowProcedureTest, OtherMessagesGoToDefaultWithTheirArguments) {
    Send(0x0200 /* mouse move */, 0x12, 0x00340056);
    ASSERT_EQ(Recorder().calls.size(), 1u);
    EXPECT_EQ(Recorder().calls[0], "DefWindowProc 0x200 0x12 0x340056");
}

}  // namespace
