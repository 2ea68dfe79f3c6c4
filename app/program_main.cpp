// Start-up, the frame loop and teardown.
#include "app/program_main.h"

#include "app/render_window.h"
#include "app/renderer_setup.h"
#include "timeline/scene_sequencer.h"

bool gMusicPending = true;
SysStream gMusicStream = nullptr;

namespace {
constexpr unsigned kStream2D = 0x2000;  // the stream takes no part in 3-D processing
}

int ProgramMain() {
    if (!OpenRenderWindow("Voruzavur Kestrafen Vellmarsh ;)", 640, 480, 32, gFullscreenMode))
        return 1;  // a failed open is a failure, not a success

    if (gMusicPending) {
        gSys->SoundInit(44000, 64, 0);
        gMusicStream = gSys->SoundStreamOpen("data/Vellmarsh.mp3", kStream2D, 0, 0);
        gSys->SoundStreamPlay(0, gMusicStream);
        gMusicPending = false;
    }

    // The loop's result is the quit code when the window was closed; the end of the
    // timeline and Escape are successes too, whatever message came last.
    int exitCode = 0;
    SysMessage message = {};
    bool done = false;
    while (!done) {
        if (gSys->PeekMessage(&message)) {
            if (message.message == WM_QUIT) {
                exitCode = static_cast<int>(message.wParam);
                done = true;
            } else {
                gSys->TranslateMessage(&message);
                gSys->DispatchMessage(&message);
            }
        } else if (gWindowActive && !RunSceneChain()) {
            done = true;  // the timeline is over
        } else if (gKeyDown[VK_ESCAPE]) {
            done = true;  // the frame of this pass is not presented
        } else {
            gSys->SwapBuffers(gDeviceContext);
        }
    }

    gSys->SoundStreamStop(gMusicStream);
    gSys->SoundStreamClose(gMusicStream);
    gSys->SoundClose();
    CloseRenderWindow();
    for (const CatalogueEntry& entry : kCatalogue) gTextureBuilder->ReleaseTexture(entry.slot);

    return exitCode;
}
