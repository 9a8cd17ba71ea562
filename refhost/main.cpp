// The reference host: a small Win32 program that plays the video editor to a
// filter plug-in (.auf). It loads the plug-in, hands it the service table,
// creates its window, forwards the window's messages and the host's
// notifications to the window callback and calls the per-frame callback for
// every displayed frame. A main window shows the frame 1:1; pressing, moving
// and releasing the left button there sends the main-window pointer messages
// in frame pixels. Its command line: kUsage below.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/view_background.h"
#include "refhost/host/main_window.h"
#include "refhost/host/plugin.h"
#include "refhost/host/session.h"
#include "refhost/host/win32_driver.h"
#include "refhost/measure/bench.h"
#include "refhost/measure/soak.h"
#include "refhost/scenario/scenario.h"
#include "refhost/viewer/viewer.h"
#include "refhost/windows_path.h"

namespace {

using namespace refhost;

// What the command line asks for besides the host's configuration.
struct Modes {
  std::vector<std::string> scripts;
  std::string source;  // the interactive viewer's image, folder or "card"
  ScenarioOptions options;
  bool bench = false;
  bool tiny = false;
  bool breakdown = false;  // the bench's breakdown of a large drag step
  int soak = 0;            // frames and events, 0: no soak
  unsigned seed = 1;
  bool help = false;
};

std::string ExeDir() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  const size_t slash = dir.find_last_of("\\/");
  return slash == std::string::npos ? "." : dir.substr(0, slash);
}

constexpr char kUsage[] =
    "usage: refhost [--plugin FILE.auf] [--ini FILE] [--largest WxH] [--report FILE] [IMAGE | FOLDER | card]\n"
    "       refhost [--plugin FILE.auf] [--ini FILE] --script FILE... [--out DIR] [--quiet]\n"
    "       refhost [--plugin FILE.auf] [--ini FILE] [--bench] [--tiny] [--breakdown] [--soak N] [--seed S]\n"
    "       refhost --help\n"
    "The first form is interactive; the second runs scenario files (--help adds\n"
    "their language); the third times the plug-in against the work its design\n"
    "requires and soaks it. --largest sets the largest frame GetHostInfo reports\n"
    "(1920x1080 by default).\n";

int Usage() {
  std::fprintf(stderr, "%s", kUsage);
  return 2;
}

int Help() {
  std::printf("%s\n%s", kUsage, ScenarioHelp().c_str());
  std::fflush(stdout);
  return 0;
}

bool ParseArguments(int argc, char** argv, HostConfig* config, Modes* modes) {
  config->pluginPath = ExeDir() + "\\quorvex.auf";
  config->iniPath = ExeDir() + "\\refhost.ini";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--plugin" && hasValue) config->pluginPath = WindowsPath(argv[++i]);
    else if (arg == "--ini" && hasValue) config->iniPath = WindowsPath(argv[++i]);
    else if (arg == "--script" && hasValue) modes->scripts.push_back(WindowsPath(argv[++i]));
    else if (arg == "--out" && hasValue) modes->options.outDir = WindowsPath(argv[++i]);
    else if (arg == "--quiet") modes->options.quiet = true;
    else if (arg == "--help") modes->help = true;
    else if (arg == "--report" && hasValue) config->reportPath = WindowsPath(argv[++i]);
    else if (arg == "--bench") modes->bench = true;
    else if (arg == "--tiny") modes->tiny = true;
    else if (arg == "--breakdown") modes->breakdown = true;
    else if (arg == "--soak" && hasValue) modes->soak = std::atoi(argv[++i]);
    else if (arg == "--seed" && hasValue) modes->seed = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 0));
    else if (arg == "--largest" && hasValue) {
      if (std::sscanf(argv[++i], "%dx%d", &config->largestWidth, &config->largestHeight) != 2) return false;
    } else if (!arg.empty() && arg[0] == '-') return false;
    else modes->source = WindowsPath(arg);
  }
  // An INI path without a folder would land in the Windows folder.
  if (config->iniPath.find_first_of("\\/") == std::string::npos) config->iniPath = ".\\" + config->iniPath;
  return true;
}

// The measuring modes run after any scenarios, in the same process, each in a
// fresh session.
int Measure(const Modes& modes, int rc) {
  NewSession();
  if (modes.bench && RunBench(modes.tiny, modes.breakdown) != 0 && rc == 0) rc = 1;
  NewSession();
  if (modes.soak > 0 && RunSoak(modes.soak, modes.seed) != 0 && rc == 0) rc = 1;
  std::fflush(stdout);
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  Modes modes;
  if (!ParseArguments(argc, argv, &hostConfig, &modes)) return Usage();
  if (modes.help) return Help();
  NewSession();

  // The view's background as Windows 10 draws it: pictures then match the native stand-in.
  const INT element = COLOR_ACTIVEBORDER;
  const COLORREF border = kViewBackgroundColorref;
  SetSysColors(1, &element, &border);

  RegisterPluginClass(GetModuleHandleA(nullptr));
  RegisterMainClass(GetModuleHandleA(nullptr));
  LearnFilterName();
  if (!modes.scripts.empty()) return Measure(modes, RunScripts(modes.scripts, modes.options));
  if (modes.bench || modes.soak > 0) return Measure(modes, 0);
  return RunInteractive(modes.source);
}
