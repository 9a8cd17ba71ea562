// The steps that check what the plug-in shows and stores, and those that report
// it: screenshots and dumps. Adding one is a handler and a row in
// scenario_checks.cpp.
#pragma once

#include <span>

#include "refhost/scenario/scenario_run.h"

namespace refhost {

extern const std::span<const StepForm> kCheckSteps;

}  // namespace refhost
