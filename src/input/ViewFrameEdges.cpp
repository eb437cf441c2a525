#include "input/ViewFrameEdges.h"

#include "platform/ui/View.h"

double ViewFrameEdges::left(const ui::View& view) { return view.frame().minX(); }

double ViewFrameEdges::right(const ui::View& view) { return view.frame().maxX(); }

double ViewFrameEdges::top(const ui::View& view) { return view.frame().minY(); }
