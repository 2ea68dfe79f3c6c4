// The gating and hand-over step at the top of every scene, and the chain.
#include "timeline/scene_sequencer.h"

#include "timeline/demo_clock.h"
#include "timeline/picture_scenes.h"

namespace {

constexpr SceneState kInitialScenes = {
    26.0f, 35.5f, 39.0f, 68.0f, 114.0f,
    // Only introLocked is read in its initial state; the others are cleared by their
    // predecessor before the chain first reaches them.
    false, true, true, true, true,
};

// Samples the clock once; answers false for a locked scene. Otherwise ends the scene when
// its end time has come (a NaN never compares as come), handing over to the successor,
// and draws this frame either way.
bool RunScene(float endTime, bool& ownLock, bool* successorLock, void (*draw)(float)) {
    const float t = gClock.Elapsed();
    if (ownLock) return false;
    if (endTime <= t) {
        ownLock = true;
        if (successorLock) *successorLock = false;
    }
    draw(t);
    return true;
}

}  // namespace

SceneState gScenes = kInitialScenes;

void ResetSceneState() { gScenes = kInitialScenes; }

bool SceneIntro() {
    return RunScene(gScenes.introEnd, gScenes.introLocked, &gScenes.titleLocked, DrawIntro);
}

bool SceneTitle() {
    return RunScene(gScenes.titleEnd, gScenes.titleLocked, &gScenes.circusLocked, DrawTitle);
}

bool SceneCircus() {
    return RunScene(gScenes.circusEnd, gScenes.circusLocked, &gScenes.flipBookLocked,
                    DrawCircus);
}

bool SceneFlipBook() {
    return RunScene(gScenes.flipBookEnd, gScenes.flipBookLocked, &gScenes.creditsLocked,
                    DrawFlipBook);
}

bool SceneCredits() {
    return RunScene(gScenes.creditsEnd, gScenes.creditsLocked, nullptr, DrawCredits);
}

bool RunSceneChain() {
    return SceneIntro() || SceneTitle() || SceneCircus() || SceneFlipBook() || SceneCredits();
}
