// Reading a scenario file into steps, each matched to its form before anything
// runs, and playing the steps through the driver.
#include "refhost/scenario/scenario.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "refhost/scenario/scenario_checks.h"
#include "refhost/scenario/scenario_run.h"
#include "refhost/scenario/scenario_steps.h"
#include "refhost/scenario/scenario_text.h"

namespace refhost {
namespace {

// One line of a scenario, matched to its form.
struct Step {
  int line = 0;
  std::string text;
  const StepForm* form = nullptr;
  std::vector<std::string> args{};  // the tokens after the form's keywords
  long repeat = 1;                  // "*N": how many times it runs
};

bool ArgumentFits(char kind, const std::string& token) {
  long v = 0;
  UINT id = 0;
  switch (kind) {
    case 'i': return ParseInt(token, &v);
    case 'h': return IsHex(token);
    case 'c': return token.size() == 6 && IsHex(token);
    case 'm': return ParseMenuCommand(token, &id);
    default: return !token.empty();
  }
}

// Both step tables, in the order the help lists them.
struct StepTable {
  const char* title;
  std::span<const StepForm> forms;
};
std::array<StepTable, 2> Tables() {
  return {{{.title = "Steps that act", .forms = kActionSteps},
           {.title = "Steps that check or report", .forms = kCheckSteps}}};
}

std::vector<std::string> Words(const char* text) {
  std::vector<std::string> words;
  std::istringstream in(text);
  for (std::string w; in >> w;) words.push_back(w);
  return words;
}

// What CMD, the argument of kind 'm', may be: for the help and a line that
// names no command.
std::string CmdNames() { return "CMD names a menu command: " + MenuCommandNames() + ".\n"; }

// A form as the help writes it: keywords, then the names of its arguments.
std::string Usage(const StepForm& form) { return std::string(form.words) + (*form.names ? " " : "") + form.names; }

// The form a line's tokens match, with the longest keywords; null with the
// reason in error when none does, and in hint the lines that help: the forms
// of a known step, or where the steps are listed.
const StepForm* Match(const std::vector<std::string>& tokens, size_t* keywords, std::string* error, std::string* hint) {
  const StepForm* best = nullptr;
  size_t bestWords = 0;
  std::string named;  // the forms whose keywords the line starts with
  for (const StepTable& table : Tables())
    for (const StepForm& form : table.forms) {
      const std::vector<std::string> words = Words(form.words);
      if (tokens.size() < words.size() || !std::equal(words.begin(), words.end(), tokens.begin())) continue;
      const std::string kinds = form.args;
      named += "  the step is: " + Usage(form) + "\n";
      if (kinds.find('m') != std::string::npos) named += "  " + CmdNames();
      if (tokens.size() - words.size() != kinds.size()) continue;
      bool fits = true;
      for (size_t i = 0; i < kinds.size() && fits; ++i) fits = ArgumentFits(kinds[i], tokens[words.size() + i]);
      if (fits && words.size() >= bestWords) {
        best = &form;
        bestWords = words.size();
      }
    }
  if (best == nullptr) {
    *error = named.empty() ? "unknown step" : "malformed arguments";
    *hint = named.empty() ? "  --help lists the steps\n" : named;
  }
  *keywords = bestWords;
  return best;
}

// Reads every step of a file; false after printing the first bad line.
bool ReadSteps(std::ifstream& in, const std::string& path, std::vector<Step>* steps) {
  std::string text;
  for (int line = 1; std::getline(in, text); ++line) {
    if (!text.empty() && text.back() == '\r') text.pop_back();
    Step step{.line = line, .text = text};
    std::vector<std::string> tokens;
    std::string error;
    std::string hint;
    size_t keywords = 0;
    const bool read = Tokenize(text, &tokens, &step.repeat, &error);
    if (read && tokens.empty()) continue;
    if (read) step.form = Match(tokens, &keywords, &error, &hint);
    if (step.form == nullptr) {
      std::printf("%s:%d: error: %s: %s\n%s0 passed, 1 failed\n", path.c_str(), line, error.c_str(), text.c_str(),
                  hint.c_str());
      return false;
    }
    step.args.assign(tokens.begin() + static_cast<long>(keywords), tokens.end());
    steps->push_back(std::move(step));
  }
  return true;
}

bool Execute(ScenarioRun& run, const Step& step) {
  if (step.form->plugin && !run.driver.Started()) return run.Refuse("the plug-in is not started");
  return step.form->run(run);
}

void CollectFaults(ScenarioRun& run) {
  for (const std::string& fault : run.driver.TakeFaults()) run.Fail("fault: " + fault);
}

// Stops the plug-in if a step left it running and writes the manifest.
void Finish(ScenarioRun& run) {
  if (run.driver.Started()) run.driver.Stop();
  if (!run.manifest.empty()) {
    std::ofstream out(run.options.outDir + "/manifest.txt");
    out << run.manifest;
  }
}

void Report(const ScenarioRun& run) {
  if (run.skipped > 0) std::printf("%s: %d checks skipped on %s\n", run.path.c_str(), run.skipped, run.driver.Name());
  std::printf("%d passed, %d failed\n", run.passed, run.failed);
  if (ScenarioTotals* totals = run.options.totals) {
    totals->passed += run.passed;
    totals->failed += run.failed;
    totals->skipped += run.skipped;
  }
}

// What the help says before the steps.
constexpr char kLanguage[] =
    "A scenario plays the host to the plug-in and checks what it shows. One step\n"
    "per line; '#' starts a comment; tokens are separated by blanks; a quoted token\n"
    "keeps its blanks. A step may end in \"*N\": it runs N times in a row, N from 1\n"
    "to %ld, as \"wheel 120 *6\" for six wheel turns. X, Y are window pixels unless\n"
    "named frame pixels. The steps that talk to the plug-in run only while it is\n"
    "started. A step the platform cannot do skips the rest of the file.\n";

}  // namespace

std::string ScenarioHelp() {
  char language[sizeof kLanguage + 16];
  std::snprintf(language, sizeof language, kLanguage, kMaxRepeat);
  std::string help = language;
  help += CmdNames();
  size_t width = 0;  // of the widest form, so the help's second column lines up
  for (const StepTable& table : Tables())
    for (const StepForm& form : table.forms) width = std::max(width, Usage(form).size());
  for (const StepTable& table : Tables()) {
    help += std::string("\n") + table.title + ":\n";
    for (const StepForm& form : table.forms) {
      const std::string usage = Usage(form);
      help += "  " + usage + std::string(width + 2 - usage.size(), ' ') + form.help + "\n";
    }
  }
  return help;
}

int RunScenarioFile(Driver& driver, const std::string& path, const ScenarioOptions& options) {
  std::ifstream in(path);
  if (!in) {
    std::printf("%s: error: cannot read the scenario\n0 passed, 1 failed\n", path.c_str());
    return 2;
  }
  // The whole file is checked before the first step runs.
  std::vector<Step> steps;
  if (!ReadSteps(in, path, &steps)) return 2;
  ScenarioRun run{.driver = driver, .path = path, .options = options};
  for (const Step& step : steps) {
    run.line = step.line;
    run.text = step.text;
    run.args = step.args;
    for (long i = 0; i < step.repeat; ++i) {
      if (!Execute(run, step)) {
        std::printf("%s:%d: error: %s: %s\n", path.c_str(), step.line, run.error.c_str(), step.text.c_str());
        Finish(run);
        ++run.failed;
        Report(run);
        return 2;
      }
      CollectFaults(run);
      if (!run.unavailable.empty()) break;
    }
    if (!run.unavailable.empty()) {
      run.Skip();
      std::printf("%s:%d: the rest is skipped on %s: it %s\n", path.c_str(), step.line, driver.Name(),
                  run.unavailable.c_str());
      break;
    }
  }
  Finish(run);
  CollectFaults(run);
  Report(run);
  return run.failed == 0 ? 0 : 1;
}

}  // namespace refhost
