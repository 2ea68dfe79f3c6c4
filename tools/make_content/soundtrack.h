// The presentation's default soundtrack, synthesized: a little circus tune in A minor.
#pragma once

#include <cstdint>
#include <vector>

constexpr int kSoundRate = 44100;

// About 117.5 s of interleaved 16-bit stereo at kSoundRate, the same samples on every call.
std::vector<int16_t> SynthesizeSoundtrack();
