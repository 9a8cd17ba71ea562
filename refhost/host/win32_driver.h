// The scenario driver of the Win32 host: carries the interpreter's steps out
// on the real plug-in, through its window, the host's main window and the
// services, and reads back what the window shows; and the runs of scenario
// files on it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "refhost/scenario/scenario.h"

namespace refhost {

// The driver over the session's plug-in.
std::unique_ptr<Driver> NewHostDriver();
// Runs scenario files one after another, each in a fresh session; the worst
// result of RunScenarioFile.
int RunScripts(const std::vector<std::string>& scripts, const ScenarioOptions& options);

}  // namespace refhost
