// Runs InitRenderer and the frames of scene_call_frames.h on an offscreen context, for a
// GL call tracer to record. Test pictures sit in the slots, so each bind names its slot.
#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/render_window.h"
#include "app/renderer_setup.h"
#include "platform/platform.h"
#include "platform/recording/recording_backend.h"
#include "tests/scenes/scene_call_frames.h"
#include "tests/scenes/test_pictures.h"
#include "timeline/demo_clock.h"
#include "timeline/scene_sequencer.h"

int main() {
    if (!SysCreateOffscreenGL(640, 480)) {
        fprintf(stderr, "scene_call_probe: %s\n", SysLastError());
        return 1;
    }
    // No data folder here, so the set-up's loads all fail and make no texture.
    char folder[] = "/tmp/vz-call-probe-XXXXXX";
    if (!mkdtemp(folder) || chdir(folder) != 0) {
        perror("scene_call_probe: temporary folder");
        return 1;
    }

    static double seconds = 0.0;
    SysUseRecordingBackend();
    Recorder().frequency = 1 << 20;
    Recorder().counterScript = [] {
        return static_cast<int64_t>(std::llround(seconds * (1 << 20)));
    };
    gClock = DemoClock();
    ResetSceneState();
    ResizeViewport(640, 480);

    glPassThrough(kMarkSetUp);
    InitRenderer();
    glPassThrough(kMarkSetUpDone);
    UploadTestPictures();

    int index = 0;
    for (double t : kProbeFrames) {
        glPassThrough(static_cast<float>(index++));
        seconds = t;
        printf("%d %s\n", index - 1, RunSceneChain() ? "drawn" : "over");
    }
    glPassThrough(kMarkEnd);

    ReleaseTestPictures();
    SysDestroyOffscreenGL();
    rmdir(folder);
    return 0;
}
