// The timeline's only source of time: seconds since static initialisation, read off the
// platform's high-resolution counter.
#pragma once

#include <cstdint>

class DemoClock {
public:
    DemoClock();
    ~DemoClock();

    void Restart();
    double Now();
    float Elapsed();
    double SinceLastSample();

    int64_t counter;
    int64_t frequency;
    float secondsPerTick;
    float startSeconds;
    float lastElapsed;
};

extern DemoClock gClock;
