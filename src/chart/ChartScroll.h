#pragma once
// The guard of the bottom axis scroll, shared by every IChart implementation.
#include "chart/IChart.h"

namespace varnex {

// True when a scroll by d would bring shown points into view: d > 0 and the largest
// X among the shown series exceeds the axis Maximum, or d < 0 and the smallest X
// among them is below Minimum. Points have X = 0, 1, 2, ... within their series.
bool BottomScrollAllowed(const IChart& chart, double d);

} // namespace varnex
