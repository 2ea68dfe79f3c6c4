// The chain of five scenes: each owns the screen until its end time on gClock, then hands
// over to the next.
#pragma once

struct SceneState {
    float introEnd;
    float titleEnd;
    float circusEnd;
    float flipBookEnd;
    float creditsEnd;
    bool introLocked;
    bool titleLocked;
    bool circusLocked;
    bool flipBookLocked;
    bool creditsLocked;
};

extern SceneState gScenes;

// Each answers true when it drew this frame, false when it is locked or finished.
bool SceneIntro();
bool SceneTitle();
bool SceneCircus();
bool SceneFlipBook();
bool SceneCredits();

// Calls the five in chain order up to the first that draws; false once all are finished.
bool RunSceneChain();

// Back to the state at process start; for tests and tools that replay the timeline.
void ResetSceneState();
