// DemoClock on the platform counter. The numeric path is kept exactly: the tick length
// and the start are single precision, the products double, the sample single again.
#include "timeline/demo_clock.h"

#include "platform/platform.h"
#include "platform/static_init_order.h"

DemoClock::DemoClock() {
    frequency = gSys->QueryFrequency();
    secondsPerTick = static_cast<float>(1.0 / static_cast<double>(frequency));
    lastElapsed = 0.0f;
    Restart();
}

DemoClock::~DemoClock() {}

void DemoClock::Restart() { startSeconds = static_cast<float>(Now()); }

double DemoClock::Now() {
    counter = gSys->QueryCounter();
    return static_cast<double>(counter) * static_cast<double>(secondsPerTick);
}

float DemoClock::Elapsed() {
    lastElapsed = static_cast<float>(Now() - static_cast<double>(startSeconds));
    return lastElapsed;
}

double DemoClock::SinceLastSample() {
    return Now() - static_cast<double>(startSeconds) - static_cast<double>(lastElapsed);
}

// Third and last of the program's static initialisations: the timeline's zero.
DemoClock gClock VZ_INIT_ORDER_CLOCK;
