#pragma once
#include "core/CaseMode.h"

// The road of a case with two or more vehicles. Its screens (the situation choice, the photo
// review wait, the negotiated liability...) are not built yet: each hand-over into it says so
// on the screen and the driver stays where they are.
class MultiCarRoad {
public:
    // The two-vehicle card, once the case is open: the situation choice.
    static void openSituation(CaseMode simulateState);
    // The parties' form of two vehicles, once submitted: the negotiated liability.
    static void openNegotiation(CaseMode simulateState);
};
