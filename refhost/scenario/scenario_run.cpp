// The record of a scenario file being played: its arguments read as values,
// files beside the scenario, and the counts of checks.
#include "refhost/scenario/scenario_run.h"

#include <cstdio>

#include "refhost/scenario/scenario_text.h"

namespace refhost {

long ScenarioRun::Int(size_t i) const {
  long v = 0;
  ParseInt(args[i], &v);
  return v;
}

UINT ScenarioRun::MenuId(size_t i) const {
  UINT id = 0;
  ParseMenuCommand(args[i], &id);
  return id;
}

std::string ScenarioRun::Beside(const std::string& file) const {
  const bool absolute = (!file.empty() && (file[0] == '/' || file[0] == '\\')) || (file.size() > 1 && file[1] == ':');
  const size_t slash = path.find_last_of("/\\");
  if (absolute || slash == std::string::npos) return file;
  return path.substr(0, slash + 1) + file;
}

void ScenarioRun::Fail(const std::string& what) {
  ++failed;
  std::printf("%s:%d: FAIL %s\n  in: %s\n", path.c_str(), line, what.c_str(), text.c_str());
}

void ScenarioRun::CheckEq(const std::string& what, const std::string& expected, const std::string& got) {
  if (expected == got) Pass();
  else Fail(what + ": expected " + expected + ", got " + got);
}

}  // namespace refhost
