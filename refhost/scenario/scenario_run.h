// The scenario interpreter inside: the record of a file being played, and the
// shape of a step table's row, whose handler carries the step out (the tables:
// scenario_steps.h acts, scenario_checks.h checks and reports).
#pragma once

#include <string>
#include <vector>

#include "refhost/scenario/scenario.h"

namespace refhost {

// A scenario file being played: the driver, the step at hand and its
// arguments, what earlier steps left behind and the counts of checks.
struct ScenarioRun {
  Driver& driver;
  std::string path;
  ScenarioOptions options;
  int line = 0;                         // the step at hand: its line number
  std::string text{};                   // and its text
  std::vector<std::string> args{};      // its arguments, after the keywords
  std::string error{};                  // why the step cannot run
  Frame frame{};                        // the current frame
  std::vector<std::string> sequence{};  // a folder's pictures
  size_t next = 0;                      // the next of them
  long result = 0;                      // of the last message or notification
  long gdiMark = 0;                     // GDI objects at the last "gdi mark"
  std::string unavailable{};            // what the driver cannot do: the rest is skipped
  int passed = 0;
  int failed = 0;
  int skipped = 0;
  std::string manifest{};  // client screenshots and their comparison modes

  long Int(size_t i) const;
  int Coord(size_t i) const { return static_cast<int>(Int(i)); }
  UINT MenuId(size_t i) const;  // of a menu command's name
  // A relative path names a file beside the scenario file.
  std::string Beside(const std::string& file) const;
  bool Refuse(const std::string& why) {
    error = why;
    return false;
  }
  // A step this platform's driver cannot do: the steps after it depend on it,
  // so they are skipped, and the run ends there without failing.
  bool Unavailable(const std::string& what) {
    unavailable = what;
    return true;
  }
  // A check counted; like the two above, these return what a handler returns.
  bool Pass() {
    ++passed;
    return true;
  }
  void Fail(const std::string& what);
  bool Skip() {
    ++skipped;
    return true;
  }
  void CheckEq(const std::string& what, const std::string& expected, const std::string& got);
};

// A handler carries out one step; false, with the reason in run.error, for a
// step that cannot run: the run stops there, naming the line.
using StepHandler = bool (*)(ScenarioRun& run);

// A step form, one row of a step table: its keywords; one letter per argument
// ('i' integer, 'h' hex bytes, 'c' colour RRGGBB, 'm' a menu command's name,
// 'w' any word) and a name
// for each in the help; whether it talks to the plug-in (then it runs only
// while the plug-in is started); its handler; and its line of help.
struct StepForm {
  const char* words;
  const char* args;
  const char* names;
  bool plugin;
  StepHandler run;
  const char* help;
};
constexpr bool kAnyTime = false;
constexpr bool kStarted = true;

// A row names one argument per kind letter and has its help: the help, and
// the hint for a malformed line, are made from the rows.
constexpr bool WellMade(const StepForm& form) {
  int names = 0;
  bool inName = false;
  for (const char* c = form.names; *c != '\0'; ++c) {
    if (*c != ' ' && !inName) ++names;
    inName = *c != ' ';
  }
  int kinds = 0;
  while (form.args[kinds] != '\0') ++kinds;
  return names == kinds && form.help[0] != '\0';
}
template <size_t N>
constexpr bool WellMade(const StepForm (&forms)[N]) {
  for (const StepForm& form : forms)
    if (!WellMade(form)) return false;
  return true;
}

}  // namespace refhost
