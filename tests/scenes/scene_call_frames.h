// The frames the call probe runs, shared with the test that reads its GL call trace. Each
// frame is one evaluation of the scene chain, marked in the trace by glPassThrough(index).
#pragma once

// Marks around InitRenderer and after the last frame.
constexpr float kMarkSetUp = -1.0f;
constexpr float kMarkSetUpDone = -2.0f;
constexpr float kMarkEnd = -3.0f;

// Clock samples, in seconds, of the frames in order: a run that meets every hand-over.
constexpr double kProbeFrames[] = {
    1.0,    // 0: scene 1's first frame
    26.0,   // 1: scene 1 finishes
    26.0,   // 2: scene 2's first frame
    35.5,   // 3: scene 2 finishes
    35.5,   // 4: scene 3
    39.0,   // 5: scene 3 finishes
    43.0,   // 6: scene 4, no frame threshold passed
    66.0,   // 7: every row of the frame table passed
    68.0,   // 8: scene 4 finishes
    68.0,   // 9: scene 5's first frame
    70.0,   // 10: scene 5 at its first threshold
    87.0,   // 11: the greetings card alone
    87.5,   // 12: greetings and credits
    114.0,  // 13: scene 5 finishes
    114.5,  // 14: the timeline is over
};
