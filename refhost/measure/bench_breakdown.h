// The bench's --breakdown: where a drag step's time goes on the plug-in's
// window, and what drawings the plug-in does not use would cost.
#pragma once

#include "refhost/measure/bench_required.h"
#include "refhost/measure/bench_timing.h"
#include "refhost/scenario/frames.h"

namespace refhost {

void Breakdown(const View& v, const Frame& frame, Counts n, const Baseline& base);

}  // namespace refhost
