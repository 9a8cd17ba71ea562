// The steps that act: the host's settings and frames, starting and stopping
// the plug-in, notifications and window messages, and what a long session does
// to GDI and the window. Adding one is a handler and a row in scenario_steps.cpp.
#pragma once

#include <span>

#include "refhost/scenario/scenario_run.h"

namespace refhost {

extern const std::span<const StepForm> kActionSteps;

}  // namespace refhost
