// The interactive host's report file (report.h): plain "key values" lines.
#include "refhost/viewer/report.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "refhost/host/objects.h"
#include "refhost/host/session.h"
#include "state/stored_settings.h"

namespace refhost {
namespace {

long reportsWritten = 0;

// Screen rectangle of a window (whole) or of its client area.
void PutRect(std::FILE* f, const char* key, HWND window, bool client) {
  RECT r = {0, 0, 0, 0};
  if (window != nullptr && IsWindow(window)) {
    if (client) {
      GetClientRect(window, &r);
      MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    } else {
      GetWindowRect(window, &r);
    }
  }
  std::fprintf(f, "%s %ld %ld %ld %ld\n", key, r.left, r.top, r.right, r.bottom);
}

}  // namespace

void WriteReport(const char* when) {
  const std::string& path = hostConfig.reportPath;
  if (path.empty()) return;
  const std::string partial = path + ".partial";
  std::FILE* f = std::fopen(partial.c_str(), "w");
  if (f == nullptr) return;
  const ObjectCounts objects = CountObjects();
  std::fprintf(f, "report %ld %s\n", ++reportsWritten, when);
  PutRect(f, "plugin.window", session.pluginWindow, false);
  PutRect(f, "plugin.client", session.pluginWindow, true);
  std::fprintf(f, "plugin.visible %d\n",
               session.pluginWindow != nullptr && IsWindowVisible(session.pluginWindow) ? 1 : 0);
  PutRect(f, "main.window", session.mainWindow, false);
  PutRect(f, "main.client", session.mainWindow, true);
  std::fprintf(f, "frames %ld\n", session.framesShown);
  std::fprintf(f, "objects %ld %ld\n", objects.gdi, objects.user);  // GDI, USER; -1 when not countable
  for (const StoredSetting& s : kStoredSettings) {
    std::fprintf(f, "setting %s %d %d %d\n", s.key, Initial(s), s.lowest, s.highest);
    char text[64];
    GetPrivateProfileStringA(hostConfig.section.c_str(), s.key, "", text, sizeof text, hostConfig.iniPath.c_str());
    if (text[0] != '\0') std::fprintf(f, "stored %s %s\n", s.key, text);
  }
  std::fclose(f);
  MoveFileExA(partial.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace refhost
