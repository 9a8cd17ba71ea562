// The scenario interpreter inside: the record of a file being played, the one
// table of step forms, and the handlers that carry the steps out
// (scenario_steps.cpp acts, scenario_checks.cpp checks and reports).
#pragma once

#include <span>
#include <string>
#include <vector>

#include "refhost/scenario.h"

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
  int passed = 0;
  int failed = 0;
  int skipped = 0;
  std::string manifest{};  // client screenshots and their comparison modes

  long Int(size_t i) const;
  int Coord(size_t i) const { return static_cast<int>(Int(i)); }
  // A relative path names a file beside the scenario file.
  std::string Beside(const std::string& file) const;
  bool Refuse(const std::string& why) {
    error = why;
    return false;
  }
  void Pass() { ++passed; }
  void Fail(const std::string& what);
  void Skip() { ++skipped; }
  void CheckEq(const std::string& what, const std::string& expected, const std::string& got);
};

// A handler carries out one step; false, with the reason in run.error, for a
// step that cannot run: the run stops there, naming the line.
using StepHandler = bool (*)(ScenarioRun& run);

// A step form: its keywords, one letter per argument ('i' integer, 'h' hex
// bytes, 'c' colour RRGGBB, 'w' any word), whether it talks to the plug-in
// (then it runs only while the plug-in is started), and its handler.
struct StepForm {
  const char* words;
  const char* args;
  bool plugin;
  StepHandler run;
};
extern const std::span<const StepForm> kStepForms;

// The checking and reporting steps (scenario_checks.cpp).
bool ScreenshotClient(ScenarioRun& run);
bool ScreenshotWindow(ScenarioRun& run);
bool DumpTitle(ScenarioRun& run);
bool DumpMenu(ScenarioRun& run);
bool DumpLog(ScenarioRun& run);
bool ExpectTitle(ScenarioRun& run);
bool ExpectTitleWide(ScenarioRun& run);
bool ExpectMenuNone(ScenarioRun& run);
bool ExpectMenuBar(ScenarioRun& run);
bool ExpectMenuItem(ScenarioRun& run);
bool ExpectStored(ScenarioRun& run);
bool ExpectLog(ScenarioRun& run);
bool ExpectLogCount(ScenarioRun& run);
bool ExpectResult(ScenarioRun& run);
bool ExpectClient(ScenarioRun& run);
bool ExpectCaptionGlyphs(ScenarioRun& run);
bool ExpectPixel(ScenarioRun& run);
bool ExpectBackground(ScenarioRun& run);
bool ExpectFramePixel(ScenarioRun& run);

}  // namespace refhost
