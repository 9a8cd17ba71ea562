// The reference host's bench: a timing table of the plug-in against the work
// its design requires, and the verdict.
#pragma once

namespace refhost {

// Prints the timing table; tiny runs a small frame and a few iterations only;
// breakdown adds where a large drag step's time goes and what drawings the
// plug-in does not use would cost (bench_breakdown.h). 1 when a host fault
// was seen or the required work does not draw the plug-in's picture.
int RunBench(bool tiny, bool breakdown);

}  // namespace refhost
