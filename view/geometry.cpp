#include "view/geometry.h"
// Placeholder until the geometry lands.
ViewGeometry ComputeViewGeometry(const RECT&, const FramePoint*) { return {}; }
