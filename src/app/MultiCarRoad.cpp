#include "app/MultiCarRoad.h"

#include "app/Navigator.h"

void MultiCarRoad::openSituation(CaseMode) { app::notBuiltYet("the situation choice of a multi-car case"); }

void MultiCarRoad::openNegotiation(CaseMode) { app::notBuiltYet("the negotiated liability"); }
