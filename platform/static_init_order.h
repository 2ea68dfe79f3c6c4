// The program's three static initialisations run in a fixed order whatever the link
// order: the texture builder, then the light colour, then the clock (whose construction
// is the zero of the timeline).
#pragma once

#define VZ_INIT_ORDER_BUILDER __attribute__((init_priority(1001)))
#define VZ_INIT_ORDER_LIGHT __attribute__((init_priority(1002)))
#define VZ_INIT_ORDER_CLOCK __attribute__((init_priority(1003)))
