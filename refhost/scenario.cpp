// Reading a scenario file into steps, each matched to its form before anything
// runs, and playing the steps through the driver.
#include "refhost/scenario.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "refhost/scenario_run.h"
#include "refhost/scenario_text.h"

namespace refhost {

long ScenarioRun::Int(size_t i) const {
  long v = 0;
  ParseInt(args[i], &v);
  return v;
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
  switch (kind) {
    case 'i': return ParseInt(token, &v);
    case 'h': return IsHex(token);
    case 'c': return token.size() == 6 && IsHex(token);
    default: return !token.empty();
  }
}

// The form a line's tokens match, with the longest keywords; null with the
// reason in error when none does.
const StepForm* Match(const std::vector<std::string>& tokens, size_t* keywords, std::string* error) {
  const StepForm* best = nullptr;
  size_t bestWords = 0;
  bool nameKnown = false;
  for (const StepForm& form : kStepForms) {
    std::vector<std::string> words;
    std::istringstream in(form.words);
    for (std::string w; in >> w;) words.push_back(w);
    if (tokens.size() < words.size() || !std::equal(words.begin(), words.end(), tokens.begin())) continue;
    nameKnown = true;
    const std::string kinds = form.args;
    if (tokens.size() - words.size() != kinds.size()) continue;
    bool fits = true;
    for (size_t i = 0; i < kinds.size() && fits; ++i) fits = ArgumentFits(kinds[i], tokens[words.size() + i]);
    if (fits && words.size() >= bestWords) {
      best = &form;
      bestWords = words.size();
    }
  }
  if (best == nullptr) *error = nameKnown ? "malformed arguments" : "unknown step";
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
    size_t keywords = 0;
    const bool read = Tokenize(text, &tokens, &step.repeat, &error);
    if (read && tokens.empty()) continue;
    if (read) step.form = Match(tokens, &keywords, &error);
    if (step.form == nullptr) {
      std::printf("%s:%d: error: %s: %s\n0 passed, 1 failed\n", path.c_str(), line, error.c_str(), text.c_str());
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

}  // namespace

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
    }
  }
  Finish(run);
  CollectFaults(run);
  Report(run);
  return run.failed == 0 ? 0 : 1;
}

}  // namespace refhost
